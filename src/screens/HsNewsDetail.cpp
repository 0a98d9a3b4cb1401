#include "HsNewsDetail.h"

#include "cache/NewsMarkDao.h"
#include "cache/SearchDao.h"
#include "screens/HsOffThread.h"
#include "screens/HsText.h"
#include "screens/HsUnseenItems.h"
#include "services/NewsService.h"

namespace {

// Replies come a page of 20 at a time until a shorter page. A service that never sends a shorter
// page is given up on after this many, far more than any school sends to one notice.
constexpr int32_t maxReplyPages = 250;
constexpr size_t replyPageSize = 20;

} // namespace

HsNewsDetail::HsNewsDetail(ScreenPort &port, const HsUserSession &session, QObject *parent)
    : EdBaseViewController(port, QStringLiteral("详细内容"), parent), m_userId(session.user().userId),
      m_loginType(session.loginType()), m_account(session.accountKey())
{}

// Runs on a worker thread. All replies of the notice (or of one user), newest first, each once
// though a new reply pushed it from one page onto the next; nothing when a page got no usable
// answer or was refused, or the pages never ended.
std::optional<std::vector<ReturnItem>> HsNewsDetail::fetchReplies(int32_t newsId, int32_t userId)
{
    std::vector<ReturnItem> replies;
    for (int32_t page = 1; page <= maxReplyPages; ++page) {
        NewsServiceResponse<ReturnItem> response = NewsService().GetReturns(newsId, userId, page);
        if (!response.answered || response.code != 0)
            return std::nullopt;
        const std::vector<ReturnItem> unseen =
            hsUnseenItems(replies, response.items, [](const ReturnItem &reply) { return reply.rtId; });
        replies.insert(replies.end(), unseen.begin(), unseen.end());
        if (response.items.size() < replyPageSize)
            return replies;
    }
    return std::nullopt;
}

void HsNewsDetail::viewDidLoad()
{
    hsRunUnderOverlay(
        port(), QStringLiteral("获取中, 请稍候..."), this,
        [newsId = m_newsId, asksForReply = m_forceReturn != 0, repliesOf = repliesOf()] {
            Fetched fetched;
            NewsServiceResponse<NewsItem> response = NewsService().GetTheNews(newsId);
            if (!response.answered || response.code != 0)
                return fetched;
            fetched.item = response.item.value_or(NewsItem{});
            SearchDao().storeNewsText(newsId, fetched.item->newsContent);
            if (asksForReply)
                fetched.replies = fetchReplies(newsId, repliesOf);
            return fetched;
        },
        [this](const Fetched &fetched) {
            if (fetched.item)
                overlayWasHidden(fetched);
            else
                showStoredText();
        });
}

// Without an answer, an item whose text an earlier detail fetched shows that text, read-only: the
// replies and the reply box need the service.
void HsNewsDetail::showStoredText()
{
    const std::optional<SearchEntry> stored = SearchDao().newsEntry(m_newsId);
    if (!stored || !stored->text)
        return;
    m_newsTitle = hsDisplayText(stored->title);
    m_publicDate = hsDisplayText(stored->dateLine);
    m_newsContent = hsDisplayText(stored->text);
    emit itemChanged();
    emit shown(m_newsId);
}

void HsNewsDetail::overlayWasHidden(const Fetched &fetched)
{
    m_bSuccess = true;
    m_newsTitle = hsDisplayText(fetched.item->newsTitle);
    m_publicDate = hsDisplayText(fetched.item->publicDate);
    m_newsContent = hsDisplayText(fetched.item->newsContent);
    emit itemChanged();
    emit shown(m_newsId);
    if (m_forceReturn != 0)
        showReplies(fetched.replies);
}

void HsNewsDetail::retryReplies()
{
    if (!m_bSuccess || m_forceReturn == 0)
        return;
    hsRunUnderOverlay(
        port(), QStringLiteral("获取中, 请稍候..."), this,
        [newsId = m_newsId, repliesOf = repliesOf()] { return fetchReplies(newsId, repliesOf); },
        [this](const std::optional<std::vector<ReturnItem>> &replies) { showReplies(replies); });
}

// Replies that could not be fetched leave the list as it was and say so. A parent with replies
// of their own has answered the notice, whichever device they used.
void HsNewsDetail::showReplies(const std::optional<std::vector<ReturnItem>> &replies)
{
    m_repliesFailed = !replies;
    if (replies)
        m_replies.setReplies(*replies);
    emit repliesChanged();
    if (replies && m_loginType != 0 && !replies->empty()) {
        NewsMarkDao().markAnswered(m_account, m_newsId);
        emit answered(m_newsId);
    }
}

QString HsNewsDetail::repliersText() const
{
    if (m_repliesFailed)
        return QStringLiteral("回复加载失败，点击重试");
    return QStringLiteral("已回复 %1 人").arg(m_replies.repliers());
}

void HsNewsDetail::setReplyText(const QString &text)
{
    if (m_replyText == text)
        return;
    m_replyText = text;
    emit replyTextChanged();
}

void HsNewsDetail::pressReply()
{
    if (m_replyText.trimmed().isEmpty()) {
        port().showToast(QStringLiteral("请输入内容！"));
        return;
    }
    send(m_replyText, true);
}

void HsNewsDetail::pressRead()
{
    send(QStringLiteral("已阅"), false);
}

void HsNewsDetail::send(const QString &text, bool fromBox)
{
    if (!canReply())
        return;
    hsRunUnderOverlay(
        port(), QStringLiteral("正在发送, 请稍候..."), this,
        [newsId = m_newsId, text = text.toStdString(), userId = m_userId, loginType = m_loginType] {
            const NewsServiceResponse<NewsItem> response =
                NewsService().PostReturn(newsId, text, userId, loginType);
            Sent sent;
            sent.answered = response.answered;
            sent.code = response.code;
            sent.error = response.error;
            if (response.answered && response.code == 0)
                sent.replies = fetchReplies(newsId, userId);
            return sent;
        },
        [this, fromBox](const Sent &sent) { replySent(sent, fromBox); });
}

// Without a usable answer the text stays in the box, so the user can send it again.
void HsNewsDetail::replySent(const Sent &sent, bool fromBox)
{
    if (!sent.answered) {
        port().showToast(QStringLiteral("请检查网络状态！"));
        return;
    }
    if (sent.code != 0) {
        port().showToast(sent.error ? QString::fromStdString(*sent.error) : QStringLiteral("回复失败！"));
        return;
    }
    if (fromBox)
        setReplyText(QString());
    port().showToast(QStringLiteral("回复成功！"));
    NewsMarkDao().markAnswered(m_account, m_newsId);
    emit answered(m_newsId);
    showReplies(sent.replies);
}
