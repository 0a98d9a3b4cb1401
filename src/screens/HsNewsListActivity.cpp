#include "HsNewsListActivity.h"

#include "cache/ListStampDao.h"
#include "cache/NewsDao.h"
#include "cache/NewsMarkDao.h"
#include "cache/SearchDao.h"
#include "common/HsLog.h"
#include "screens/HsNewsDetail.h"
#include "screens/HsOffThread.h"
#include "screens/HsText.h"
#include "services/NewsService.h"

namespace {

// What a search finds of the headlines: a headline's id is its key, and its detail opens with it.
std::vector<SearchEntry> searchEntriesOf(SearchKind kind, const std::vector<NewsItem> &newses)
{
    std::vector<SearchEntry> entries;
    for (const NewsItem &news : newses) {
        SearchEntry entry;
        entry.kind = kind;
        entry.key = std::to_string(news.newsId);
        entry.itemId = news.newsId;
        entry.flag = news.forceReturn;
        entry.title = news.newsTitle;
        entry.dateLine = news.publicDate;
        entry.date = news.publicDate;
        entries.push_back(std::move(entry));
    }
    return entries;
}

} // namespace

HsNewsListActivity::HsNewsListActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                                       const QString &title, SearchKind kind, QObject *parent)
    : HsCategoryArea(port, session, defaults, title, parent), m_kind(kind),
      m_refresh([this] { return reloadTableViewDataSource(); }),
      m_search({kind}, [this](const SearchEntry &entry) { openFound(entry); })
{
    m_search.follow(m_newses);
}

void HsNewsListActivity::viewDidLoad()
{
    m_account = session().accountKey();
    NewsMarkDao marks;
    m_newses.setMarks(marks.readIds(m_account), marks.answeredIds(m_account));
    m_categorys = readCategories();
    QStringList titles;
    for (const NewsTypeItem &type : m_categorys)
        titles << hsDisplayText(type.typeName);
    categoryBar()->setTitles(titles);
    if (m_categorys.empty())
        return;
    chooseCategory(1);
    selectedCategory(1);
}

std::optional<HsNewsListActivity::Request> HsNewsListActivity::requestFor(int n) const
{
    if (n < 1 || n > static_cast<int>(m_categorys.size()))
        return std::nullopt;
    const LoginResultItem user = session().user();
    return Request{n, user.schoolCode.value_or(std::string()), user.classId,
                   m_categorys[static_cast<size_t>(n - 1)].typeCode.value_or(std::string()), m_kind};
}

HsCategoryArea::StoredAt HsNewsListActivity::storedAt(const Request &request)
{
    return ListStampDao().storedAt(ListStampDao::newsList, request.typeCode);
}

bool HsNewsListActivity::hasCachedList(int tag) const
{
    const std::optional<Request> request = requestFor(tag);
    return request && !NewsDao().initSelects(request->typeCode).empty();
}

void HsNewsListActivity::selectedCategory(int n)
{
    const std::optional<Request> request = requestFor(n);
    if (!request)
        return;
    std::vector<NewsItem> cached = NewsDao().initSelects(request->typeCode);
    if (!cached.empty()) {
        showFirstPage(*request, std::move(cached));
        showCachedList(storedAt(*request));
        return;
    }
    hsRunUnderOverlay(
        port(), QStringLiteral("获取通知消息, 请稍候..."), this,
        [request = *request] { return doGetNews(request); },
        [this, request = *request](Fetched fetched) { applyFetched(request, std::move(fetched)); });
}

// Runs on a worker thread. The headlines of an answered document with code 0, which go into the
// search, or nothing.
HsNewsListActivity::Fetched HsNewsListActivity::fetchPage(const Request &request, int page)
{
    NewsServiceResponse<NewsItem> response =
        NewsService().GetNews(request.schoolCode, request.classId, request.typeCode, page);
    if (!response.answered || response.code != 0)
        return std::nullopt;
    SearchDao().store(searchEntriesOf(request.kind, response.items));
    return std::move(response.items);
}

// Runs on a worker thread. Only an answered document with code 0 changes the cache and the list;
// one without headlines empties both.
HsNewsListActivity::Fetched HsNewsListActivity::doGetNews(const Request &request)
{
    Fetched fetched = fetchPage(request, 1);
    if (!fetched)
        return fetched;
    for (const NewsItem &news : *fetched)
        hsLog("%s", hsText(news.newsTitle));
    NewsDao().replaceCategory(request.typeCode, *fetched);
    return fetched;
}

void HsNewsListActivity::showFirstPage(const Request &request, std::vector<NewsItem> newses)
{
    m_shown = request;
    m_paging.restart(newses.size());
    m_newses.setNewses(std::move(newses));
    emit unreadCountChanged();
}

// A fetch for a category that is no longer the selected one has filled its cache but leaves
// the list to the category now shown. A failed one leaves the list, and its further pages, as
// they were: the list is then the one stored last, and says when that was.
void HsNewsListActivity::applyFetched(const Request &request, Fetched fetched)
{
    if (request.category != category())
        return;
    if (fetched) {
        showFirstPage(request, std::move(*fetched));
        showFreshList();
    } else if (m_shown) {
        showStoredList(storedAt(*m_shown));
    }
}

HsRefreshCycle::Fetch HsNewsListActivity::reloadTableViewDataSource()
{
    const std::optional<Request> request = requestFor(category());
    if (!request)
        return {};
    HsOffThreadSteps steps = hsOffThreadSteps(
        this, [request = *request] { return doGetNews(request); },
        [this, request = *request](Fetched fetched) { applyFetched(request, std::move(fetched)); });
    return {std::move(steps.work), std::move(steps.apply)};
}

void HsNewsListActivity::loadMore()
{
    if (!m_shown)
        return;
    m_paging.loadNextPage(
        m_pages, [request = *m_shown](int page) { return fetchPage(request, page); },
        [this](const std::vector<NewsItem> &newses) { return appendPage(newses); }, [this] { loadMore(); });
}

std::size_t HsNewsListActivity::appendPage(const std::vector<NewsItem> &newses)
{
    const std::size_t added = m_newses.appendNewses(newses);
    emit unreadCountChanged();
    return added;
}

// The headline counts as read once its detail shows the text, not on the tap: a detail that
// could not be fetched leaves it unread.
void HsNewsListActivity::didSelectRow(int row)
{
    if (row < 0 || row >= static_cast<int>(m_newses.newses().size()))
        return;
    openNews(m_newses.newses()[static_cast<size_t>(row)]);
}

void HsNewsListActivity::openFound(const SearchEntry &entry)
{
    NewsItem news;
    news.newsId = entry.itemId;
    news.newsTitle = entry.title;
    news.forceReturn = entry.flag;
    openNews(news);
}

void HsNewsListActivity::openNews(const NewsItem &news)
{
    willOpenNews(news);
    auto *detail = new HsNewsDetail(port(), session());
    detail->setNewsId(news.newsId);
    detail->setForceReturn(news.forceReturn);
    connect(detail, &HsNewsDetail::shown, this, &HsNewsListActivity::newsRead);
    connect(detail, &HsNewsDetail::answered, this, &HsNewsListActivity::newsAnswered);
    port().push(detail);
    detail->viewDidLoad();
}

void HsNewsListActivity::newsRead(int32_t newsId)
{
    NewsMarkDao().markRead(m_account, newsId);
    if (m_newses.markRead(newsId))
        emit unreadCountChanged();
}

void HsNewsListActivity::newsAnswered(int32_t newsId)
{
    m_newses.markAnswered(newsId);
}
