#include "HsStudentActivity.h"

#include "screens/HsOffThread.h"
#include "screens/HsRecordDetail.h"
#include "screens/HsText.h"
#include "screens/HsUnseenItems.h"
#include "services/ChatService.h"
#include "services/HomeWorkService.h"
#include "services/StudentStateService.h"
#include "services/TestScoreService.h"

#include <algorithm>

namespace {

struct CategoryTexts
{
    QString overlay;
    QString detailTitle;
};

// The overlay shown while a category is fetched and the title of its records' detail screen.
CategoryTexts textsOf(int category)
{
    switch (category) {
    case HsStudentActivity::homeworkCategory:
        return {QStringLiteral("获取学生作业, 请稍候..."), QStringLiteral("作业详情")};
    case HsStudentActivity::scoresCategory:
        return {QStringLiteral("获取学生成绩, 请稍候..."), QStringLiteral("成绩详情")};
    case HsStudentActivity::statesCategory:
        return {QStringLiteral("获取学生状态, 请稍候..."), QStringLiteral("状态详情")};
    default:
        return {QStringLiteral("获取交流信息, 请稍候..."), QStringLiteral("交流详情")};
    }
}

// The records of an answered document with code 0, which go into the search; nothing for a
// refusal or no usable answer.
template <class Response> std::optional<HsStudentRecords> recordsOf(Response response)
{
    if (!response.answered || response.code != 0)
        return std::nullopt;
    HsStudentRecords records(std::move(response.items));
    SearchDao().store(HsStudentRecordModel::searchEntries(records));
    return records;
}

} // namespace

HsStudentActivity::HsStudentActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                                     QObject *parent)
    : HsAreaActivity(port, session, defaults, QStringLiteral("学生动态"), parent),
      m_refresh([this] { return reloadTableViewDataSource(); }),
      m_search({SearchKind::HomeWork, SearchKind::TestScore, SearchKind::StateReport, SearchKind::Chat},
               [this](const SearchEntry &entry) { openFound(entry); })
{
    m_search.follow(m_datas);
}

void HsStudentActivity::viewDidLoad()
{
    reloadOutbox();
    updateCategory(homeworkCategory);
    sendOutbox();
}

void HsStudentActivity::viewWillAppear()
{
    sendOutbox();
}

bool HsStudentActivity::isPostBoxVisible() const
{
    const bool teacher = session().loginType() == 0;
    return m_category == chatCategory ||
           (teacher && (m_category == homeworkCategory || m_category == statesCategory));
}

void HsStudentActivity::setPostText(const QString &text)
{
    if (m_postText == text)
        return;
    m_postText = text;
    emit postTextChanged();
}

void HsStudentActivity::pressCategory(int tag)
{
    if (networkAvailable())
        updateCategory(tag);
}

void HsStudentActivity::updateCategory(int c)
{
    m_category = c;
    emit categoryChanged();
    if (c < homeworkCategory || c > chatCategory)
        return;
    hsRunUnderOverlay(
        port(), textsOf(c).overlay, this, [request = request()] { return fetchPage(request, 1); },
        [this, request = request()](Fetched fetched) { applyFetched(request, std::move(fetched)); });
}

// Runs on a worker thread. The scores come whole, on one page.
HsStudentActivity::Fetched HsStudentActivity::fetchPage(const Request &request, int page)
{
    const LoginResultItem &user = request.user;
    switch (request.category) {
    case homeworkCategory:
        return recordsOf(HomeWorkService().GetHomeWork(user.classId, page));
    case scoresCategory:
        return recordsOf(TestScoreService().GetStudentScores(user.userId));
    case statesCategory:
        return recordsOf(StudentStateService().GetStdStates(user.classId, page));
    case chatCategory:
        return recordsOf(ChatService().GetChats(user.classId, page));
    default:
        return std::nullopt;
    }
}

// Records fetched for a category that is no longer shown are dropped: the list keeps what it
// shows, drawn as the kind of records it holds, and goes on paging through them.
void HsStudentActivity::applyFetched(const Request &request, Fetched fetched)
{
    if (!fetched || request.category != m_category)
        return;
    const size_t rows = std::visit([](const auto &records) { return records.size(); }, *fetched);
    m_paging.restart(request.category == scoresCategory ? 0 : rows);
    m_datas.setRecords(*fetched);
    sendOutbox(request.category, std::move(fetched));
}

// Further pages belong to the records shown, which stay when a new category could not be fetched.
void HsStudentActivity::loadMore()
{
    m_paging.loadNextPage(
        m_pages,
        [request = Request{m_datas.kind(), session().user()}, chats = lastShownChats()](int page) {
            return fetchFurtherPage(request, page, chats);
        },
        [this](const Page &page) { return m_datas.appendRecords(page.records); }, [this] { loadMore(); });
}

// The last page's worth of chat messages shown (none when another kind is shown).
std::vector<ChatItem> HsStudentActivity::lastShownChats() const
{
    const auto *chats = std::get_if<std::vector<ChatItem>>(&m_datas.records());
    if (!chats)
        return {};
    const std::size_t kept = std::min(chats->size(), static_cast<std::size_t>(HsPaging::pageSize));
    return {chats->end() - static_cast<std::ptrdiff_t>(kept), chats->end()};
}

// Runs on a worker thread. A chat page that opens with messages like the last ones shown may
// hold messages pushed down by new ones, or real messages that only look alike: the page before
// it, fetched again, tells which.
HsStudentActivity::FetchedPage HsStudentActivity::fetchFurtherPage(const Request &request, int page,
                                                                   const std::vector<ChatItem> &shownChats)
{
    std::optional<HsStudentRecords> records = fetchPage(request, page);
    if (!records)
        return std::nullopt;
    const std::size_t rows = std::visit([](const auto &items) { return items.size(); }, *records);
    auto *chats = std::get_if<std::vector<ChatItem>>(&*records);
    if (!chats || hsOverlap(shownChats, *chats) == 0)
        return Page{rows, std::move(*records)};
    const std::optional<HsStudentRecords> before = fetchPage(request, page - 1);
    if (!before)
        return std::nullopt;
    return Page{rows, hsRowsAfterShown(shownChats, std::get<std::vector<ChatItem>>(*before), *chats)};
}

HsRefreshCycle::Fetch HsStudentActivity::reloadTableViewDataSource()
{
    if (m_category < homeworkCategory || m_category > chatCategory)
        return {};
    HsOffThreadSteps steps = hsOffThreadSteps(
        this, [request = request()] { return fetchPage(request, 1); },
        [this, request = request()](Fetched fetched) { applyFetched(request, std::move(fetched)); });
    return {std::move(steps.work), std::move(steps.apply)};
}

void HsStudentActivity::pressPost()
{
    if (m_postText.isEmpty()) {
        port().showToast(QStringLiteral("请输入内容！"));
        return;
    }
    emit keyboardDismissed();
    if (m_category == scoresCategory || m_category < homeworkCategory || m_category > chatCategory)
        return;
    // Kept before it is sent: from here on, neither a lost answer nor the end of the process
    // loses what was typed.
    OutboxPost post = HsStudentOutbox::postOf(m_category, session().user(), m_postText.toStdString(),
                                              HsStudentOutbox::Clock::now());
    post.id = OutboxDao().add(post);
    hsRunUnderOverlay(
        port(), QStringLiteral("正在发布, 请稍候..."), this,
        [post] { return HsStudentOutbox::sendNew(post); },
        [this, kept = post.id > 0](HsPostOutcome outcome) { postReturned(outcome, kept); });
}

// A post that got no usable answer waits in the outbox, shown in its list, and the field is
// emptied as for a post sent; one the outbox could not keep stays in the field. A refused post
// keeps its text in the field, to be changed and posted again.
void HsStudentActivity::postReturned(HsPostOutcome outcome, bool kept)
{
    if (outcome == HsPostOutcome::Posted) {
        setPostText(QString());
        port().showToast(QStringLiteral("发布成功！"));
    } else if (outcome == HsPostOutcome::Unanswered) {
        if (kept)
            setPostText(QString());
        port().showToast(QStringLiteral("请检查网络状态！"));
        reloadOutbox();
    }
}

void HsStudentActivity::sendOutbox(int pageCategory, std::optional<HsStudentRecords> firstPage)
{
    std::vector<OutboxPost> claimed =
        OutboxDao().claimWaiting(firstPage ? std::optional(pageCategory) : std::nullopt);
    if (claimed.empty())
        return;
    reloadOutbox();
    hsRunOffThread(
        m_outboxRounds, this,
        [claimed, fetch = firstPageFetch(session().user()), pageCategory, firstPage = std::move(firstPage)] {
            return HsStudentOutbox::resend(claimed, fetch, pageCategory, firstPage);
        },
        [this](const HsOutboxRound &round) { roundReturned(round, false); });
}

void HsStudentActivity::resendRow(int row)
{
    const qint64 id = m_datas.index(row).data(HsStudentRecordModel::OutboxIdRole).toLongLong();
    const std::vector<OutboxPost> &unsent = m_datas.unsentRows();
    const auto post =
        std::find_if(unsent.begin(), unsent.end(), [id](const OutboxPost &p) { return p.id == id; });
    if (post == unsent.end() || !OutboxDao().claim(id))
        return;
    hsRunUnderOverlay(
        port(), QStringLiteral("正在发布, 请稍候..."), this,
        [claimed = std::vector{*post}, fetch = firstPageFetch(session().user())] {
            return HsStudentOutbox::resend(claimed, fetch);
        },
        [this](const HsOutboxRound &round) { roundReturned(round, true); });
    reloadOutbox();
}

HsStudentOutbox::PageFetch HsStudentActivity::firstPageFetch(const LoginResultItem &user)
{
    return [user](int category) { return fetchPage({category, user}, 1); };
}

// Posts sent again leave their rows; the shown list is fetched again to show them as the service
// has them. A refused post's text goes back into the empty field of its category, so that it can
// be changed and posted again; refused posts that find the field taken stay in the list, marked,
// until the user sends them once more.
void HsStudentActivity::roundReturned(const HsOutboxRound &round, bool asked)
{
    for (const OutboxPost &refused : round.refused) {
        if (m_postText.isEmpty() && refused.category == m_category && OutboxDao().remove(refused.id))
            setPostText(QString::fromStdString(refused.text));
    }
    reloadOutbox();
    if (!round.refused.empty())
        port().showToast(QStringLiteral("发布失败！"));
    if (asked && round.outcome() == HsPostOutcome::Posted)
        port().showToast(QStringLiteral("发布成功！"));
    else if (asked && round.outcome() == HsPostOutcome::Unanswered)
        port().showToast(QStringLiteral("请检查网络状态！"));
    if (round.reached.contains(m_category)) {
        hsRunOffThread(
            m_outboxRounds, this, [request = request()] { return fetchPage(request, 1); },
            [this, request = request()](Fetched fetched) { applyFetched(request, std::move(fetched)); });
    }
}

void HsStudentActivity::reloadOutbox()
{
    m_datas.setOutbox(OutboxDao().posts());
}

void HsStudentActivity::didSelectRow(int row)
{
    if (row < 0 || row >= m_datas.rowCount())
        return;
    const QModelIndex index = m_datas.index(row);
    const int kind = m_datas.kind();
    const QString dateLine = kind == HsStudentRecordModel::Chat
                                 ? index.data(HsStudentRecordModel::UserRole).toString() + QLatin1Char(' ') +
                                       index.data(HsStudentRecordModel::DateRole).toString()
                                 : index.data(HsStudentRecordModel::DateRole).toString();
    port().push(new HsRecordDetail(port(), textsOf(kind).detailTitle,
                                   index.data(HsStudentRecordModel::ContentRole).toString(), dateLine));
}

void HsStudentActivity::openFound(const SearchEntry &entry)
{
    const std::optional<HsStudentRecordModel::Kind> kind = HsStudentRecordModel::kindOf(entry.kind);
    if (!kind)
        return;
    port().push(new HsRecordDetail(port(), textsOf(*kind).detailTitle, hsDisplayText(entry.text),
                                   hsDisplayText(entry.dateLine)));
}
