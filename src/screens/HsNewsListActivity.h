#pragma once

#include "documents/NewsTypeItem.h"
#include "screens/HsAreaActivity.h"
#include "screens/HsCategoryBarModel.h"
#include "screens/HsNewsListModel.h"
#include "widgets/HsRefreshCycle.h"

#include <optional>
#include <vector>

// A list of headlines by category, shared by the school notices and the news areas: the
// categories read once from the cache, a category's headlines from the cache when it holds any,
// else fetched and stored; pull-to-refresh fetches page 1 again; a headline opens its detail.
class HsNewsListActivity : public HsAreaActivity
{
    Q_OBJECT
    Q_PROPERTY(int category READ category NOTIFY categoryChanged)
    Q_PROPERTY(HsCategoryBarModel *menu READ categoryBar CONSTANT)
    Q_PROPERTY(QAbstractItemModel *newses READ newses CONSTANT)
    Q_PROPERTY(RefreshHeaderView *refreshHeader READ refreshHeader CONSTANT)
public:
    static constexpr int rowHeight = 60;

    void viewDidLoad() override;

    int category() const { return m_category; }
    HsCategoryBarModel *categoryBar() { return &m_categoryBar; }
    HsNewsListModel *newses() { return &m_newses; }
    RefreshHeaderView *refreshHeader() { return m_refresh.header(); }
    const std::vector<NewsTypeItem> &categorys() const { return m_categorys; }

    // A category button (tag: its 1-based position).
    Q_INVOKABLE void pressCategory(int tag);
    // Shows category n: from the cache when it holds any headline, else fetched.
    void selectedCategory(int n);
    // A touch on headline `row`: opens its detail.
    Q_INVOKABLE void didSelectRow(int row);

signals:
    void categoryChanged();

protected:
    HsNewsListActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults, const QString &title,
                       QObject *parent);

    // The categories this area lists, read from the cache.
    virtual std::vector<NewsTypeItem> readCategories() const = 0;
    // Called before a headline's detail opens.
    virtual void willOpenNews(const NewsItem &) {}

private:
    struct Request
    {
        int category = 0;
        std::string schoolCode;
        int32_t classId = 0;
        std::string typeCode;
    };
    // What a fetch brought back: the headlines to show, or nothing to change.
    using Fetched = std::shared_ptr<std::optional<std::vector<NewsItem>>>;

    std::optional<Request> requestFor(int n) const;
    static void doGetNews(const Request &request, const Fetched &fetched);
    void applyFetched(const Request &request, const Fetched &fetched);
    HsRefreshCycle::Fetch reloadTableViewDataSource();

    std::vector<NewsTypeItem> m_categorys;
    int m_category = 0;
    HsCategoryBarModel m_categoryBar;
    HsNewsListModel m_newses;
    HsRefreshCycle m_refresh;
};
