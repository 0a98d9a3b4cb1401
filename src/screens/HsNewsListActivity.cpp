#include "HsNewsListActivity.h"

#include "cache/NewsDao.h"
#include "screens/HsNewsDetail.h"
#include "screens/HsText.h"
#include "services/NewsService.h"
#include "transport/HsLog.h"

#include <QPointer>

HsNewsListActivity::HsNewsListActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                                       const QString &title, QObject *parent)
    : HsAreaActivity(port, session, defaults, title, parent),
      m_refresh([this] { return reloadTableViewDataSource(); })
{}

void HsNewsListActivity::viewDidLoad()
{
    m_categorys = readCategories();
    QStringList titles;
    for (const NewsTypeItem &type : m_categorys)
        titles << hsDisplayText(type.typeName);
    m_categoryBar.setTitles(titles);
    if (m_categorys.empty())
        return;
    m_category = 1;
    emit categoryChanged();
    m_categoryBar.updateMenuBar(1);
    selectedCategory(1);
}

void HsNewsListActivity::pressCategory(int tag)
{
    if (!networkAvailable() || tag == m_category || m_categoryBar.buttonFrame(tag).isNull())
        return;
    m_categoryBar.updateMenuBar(tag);
    m_category = tag;
    emit categoryChanged();
    selectedCategory(tag);
}

std::optional<HsNewsListActivity::Request> HsNewsListActivity::requestFor(int n) const
{
    if (n < 1 || n > static_cast<int>(m_categorys.size()))
        return std::nullopt;
    const LoginResultItem user = session().user();
    return Request{n, user.schoolCode.value_or(std::string()), user.classId,
                   m_categorys[static_cast<size_t>(n - 1)].typeCode.value_or(std::string())};
}

void HsNewsListActivity::selectedCategory(int n)
{
    const std::optional<Request> request = requestFor(n);
    if (!request)
        return;
    std::vector<NewsItem> cached = NewsDao().initSelects(request->typeCode);
    if (!cached.empty()) {
        m_newses.setNewses(std::move(cached));
        return;
    }
    auto fetched = std::make_shared<Fetched::element_type>();
    QPointer<HsNewsListActivity> self(this);
    port().runUnderOverlay(
        QStringLiteral("获取通知消息, 请稍候..."),
        [request = *request, fetched] { doGetNews(request, fetched); },
        [self, request = *request, fetched] {
            if (self)
                self->applyFetched(request, fetched);
        });
}

// Runs on a worker thread. Only an answered document with code 0 changes the cache and the list;
// one without headlines empties both.
void HsNewsListActivity::doGetNews(const Request &request, const Fetched &fetched)
{
    NewsServiceResponse<NewsItem> response =
        NewsService().GetNews(request.schoolCode, request.classId, request.typeCode, 1);
    if (!response.answered || response.code != 0)
        return;
    for (const NewsItem &news : response.items)
        hsLog("%s", hsText(news.newsTitle));
    NewsDao().replaceCategory(request.typeCode, response.items);
    *fetched = std::move(response.items);
}

// A fetch for a category that is no longer the selected one has filled its cache but leaves
// the list to the category now shown.
void HsNewsListActivity::applyFetched(const Request &request, const Fetched &fetched)
{
    if (*fetched && request.category == m_category)
        m_newses.setNewses(std::move(**fetched));
}

HsRefreshCycle::Fetch HsNewsListActivity::reloadTableViewDataSource()
{
    const std::optional<Request> request = requestFor(m_category);
    if (!request)
        return {};
    auto fetched = std::make_shared<Fetched::element_type>();
    return {[request = *request, fetched] { doGetNews(request, fetched); },
            [this, request = *request, fetched] { applyFetched(request, fetched); }};
}

void HsNewsListActivity::didSelectRow(int row)
{
    if (row < 0 || row >= static_cast<int>(m_newses.newses().size()))
        return;
    const NewsItem &news = m_newses.newses()[static_cast<size_t>(row)];
    willOpenNews(news);
    auto *detail = new HsNewsDetail(port());
    detail->setNewsId(news.newsId);
    detail->setForceReturn(news.forceReturn);
    port().push(QStringLiteral("HsNewsDetail"), detail);
    detail->viewDidLoad();
}
