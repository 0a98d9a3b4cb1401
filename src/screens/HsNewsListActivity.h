#pragma once

#include "cache/SearchDao.h"
#include "documents/NewsTypeItem.h"
#include "screens/HsCategoryArea.h"
#include "screens/HsLocalSearch.h"
#include "screens/HsNewsListModel.h"
#include "screens/HsPaging.h"
#include "widgets/HsRefreshCycle.h"
#include "widgets/HsTaskRunner.h"

#include <QtQml/qqmlregistration.h>
#include <optional>
#include <vector>

// A list of headlines by category, shared by the school notices and the news areas: the
// categories read once from the cache, a category's first page from the cache when it holds any,
// else fetched and stored; further pages when the user scrolls to the end; pull-to-refresh
// fetches page 1 again; a headline opens its detail, which marks it read for the signed-in
// account once it shows the headline's text. Every headline loaded goes into the account's
// search, which finds them again by the words of their titles or fetched texts.
class HsNewsListActivity : public HsCategoryArea
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Areas are made by the main screen")
    Q_PROPERTY(QAbstractItemModel *newses READ newses CONSTANT)
    Q_PROPERTY(RefreshHeaderView *refreshHeader READ refreshHeader CONSTANT)
    Q_PROPERTY(HsPaging *paging READ paging CONSTANT)
    Q_PROPERTY(int unreadCount READ unreadCount NOTIFY unreadCountChanged)
    Q_PROPERTY(HsLocalSearch *search READ search CONSTANT)
public:
    static constexpr int rowHeight = 60;

    void viewDidLoad() override;

    HsNewsListModel *newses() { return &m_newses; }
    RefreshHeaderView *refreshHeader() { return m_refresh.header(); }
    HsPaging *paging() { return &m_paging; }
    HsLocalSearch *search() { return &m_search; }
    // Headlines of the shown list that the signed-in account has not opened.
    int unreadCount() const { return m_newses.unreadCount(); }
    const std::vector<NewsTypeItem> &categorys() const { return m_categorys; }

    // Shows category n: from the cache when it holds any headline, else fetched.
    void selectedCategory(int n) override;
    // The user reached the end of the list (or tapped a failed page): loads the next page.
    Q_INVOKABLE void loadMore();
    // A touch on headline `row`: opens its detail.
    Q_INVOKABLE void didSelectRow(int row);

signals:
    void unreadCountChanged();

protected:
    // Headlines loaded here are found by searches of `kind`.
    HsNewsListActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults, const QString &title,
                       SearchKind kind, QObject *parent);

    // The categories this area lists, read from the cache.
    virtual std::vector<NewsTypeItem> readCategories() const = 0;
    bool hasCachedList(int tag) const override;
    // Called before a headline's detail opens.
    virtual void willOpenNews(const NewsItem &) {}

private:
    struct Request
    {
        int category = 0;
        std::string schoolCode;
        int32_t classId = 0;
        std::string typeCode;
        SearchKind kind = SearchKind::Notice;
    };
    // What a fetch brought back: the headlines to show, or nothing to change.
    using Fetched = std::optional<std::vector<NewsItem>>;

    std::optional<Request> requestFor(int n) const;
    static StoredAt storedAt(const Request &request);
    static Fetched doGetNews(const Request &request);
    static Fetched fetchPage(const Request &request, int page);
    void showFirstPage(const Request &request, std::vector<NewsItem> newses);
    void applyFetched(const Request &request, Fetched fetched);
    std::size_t appendPage(const std::vector<NewsItem> &newses);
    HsRefreshCycle::Fetch reloadTableViewDataSource();
    void openNews(const NewsItem &news);
    void openFound(const SearchEntry &entry);
    void newsAnswered(int32_t newsId);
    void newsRead(int32_t newsId);

    std::vector<NewsTypeItem> m_categorys;
    SearchKind m_kind;
    std::string m_account;
    HsNewsListModel m_newses;
    // The category whose headlines the list shows, for their further pages.
    std::optional<Request> m_shown;
    HsPaging m_paging;
    HsRefreshCycle m_refresh;
    HsTaskRunner m_pages;
    HsLocalSearch m_search;
};
