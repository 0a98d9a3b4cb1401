#pragma once

#include "documents/ResourceTypeItem.h"
#include "screens/HsCategoryArea.h"
#include "screens/HsPaging.h"
#include "screens/HsResourceListModel.h"
#include "widgets/HsTaskRunner.h"

#include <QtQml/qqmlregistration.h>
#include <optional>
#include <vector>

// The catalogue of local resources: a category bar with "推荐" (the recommended photo resources,
// two to a row) followed by one category per cached resource type (its resources one to a row,
// under a search bar). A type's list comes from the cache when it holds any, else it is fetched
// and stored; the photo list and search results are always fetched. A row opens the resource's
// detail. A type's list and search results load further pages when the user scrolls to the end.
// The area fetches "推荐" the first time it is shown, so it is never blank.
class HsResourceActivity : public HsCategoryArea
{
    Q_OBJECT
    // Named apart from the interface file "HsResourceActivity.qml" that shows it.
    QML_NAMED_ELEMENT(HsResourceActivityController)
    QML_UNCREATABLE("Areas are made by the main screen")
    Q_PROPERTY(QAbstractItemModel *resourceTable READ resourceTable CONSTANT)
    Q_PROPERTY(QAbstractItemModel *photoTable READ photoTable CONSTANT)
    Q_PROPERTY(bool photoTableShown READ photoTableShown NOTIFY photoTableShownChanged)
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    Q_PROPERTY(bool searchCancelShown READ searchCancelShown NOTIFY searchCancelShownChanged)
    Q_PROPERTY(HsPaging *paging READ paging CONSTANT)
public:
    // The interface file that shows this area, in the main screen or on a screen of its own.
    static constexpr auto interfaceFile = "HsResourceActivity";

    static constexpr int photoCategory = 1;
    // What produced `resources` last.
    enum ServiceType
    {
        NoService = 0,
        TypeList = 1,
        PhotoList = 2,
        SearchList = 3,
    };
    Q_ENUM(ServiceType)

    HsResourceActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                       QObject *parent = nullptr);

    void viewDidLoad() override;
    // The area has become visible; the first time, "推荐" is fetched.
    Q_INVOKABLE void viewDidAppear();

    HsResourceListModel *resourceTable() { return &m_resourceTable; }
    HsResourceListModel *photoTable() { return &m_photoTable; }
    bool photoTableShown() const { return m_photoTableShown; }
    const std::vector<ResourceTypeItem> &categorys() const { return m_categorys; }
    const std::vector<ResourceItem> &resources() const { return m_resources; }
    ServiceType serviceType() const { return m_serviceType; }
    bool succeeded() const { return m_bSuccess; }
    HsPaging *paging() { return &m_paging; }

    // Category 1 is "推荐", n >= 2 the type at position n - 1.
    void selectedCategory(int n) override;

    // The search bar of the resource table.
    QString searchText() const { return m_searchText; }
    void setSearchText(const QString &text);
    bool searchCancelShown() const { return m_searchCancelShown; }
    Q_INVOKABLE void searchBarTextDidBeginEditing();
    Q_INVOKABLE void searchBarCancelButtonClicked();
    Q_INVOKABLE void searchBarSearchButtonClicked();

    // The user reached the end of the resource table (or tapped a failed page): loads the next page.
    Q_INVOKABLE void loadMore();

    // A touch on row `row` of the resource table.
    Q_INVOKABLE void didSelectRow(int row);
    // A touch on the left (half 0) or right (half 1) half of row `row` of the photo table.
    Q_INVOKABLE void didSelectPhoto(int row, int half);

signals:
    void photoTableShownChanged();
    void searchTextChanged();
    void searchCancelShownChanged();
    // The search bar gives up the keyboard.
    void keyboardDismissed();

protected:
    bool hasCachedList(int tag) const override;

private:
    struct Request
    {
        int category = 0;
        ServiceType kind = NoService;
        std::string argument; // the type code or the keyword
    };
    // What a fetch brought back: the resources to show, or nothing to change.
    using Fetched = std::optional<std::vector<ResourceItem>>;

    // The type code of category n (n >= 2), if there is such a category.
    std::optional<std::string> typeCodeOf(int n) const;
    void runFetch(const Request &request);
    static Fetched doFetch(const Request &request);
    static Fetched fetchPage(const Request &request, int page);
    std::size_t appendPage(const std::vector<ResourceItem> &resources);
    void overlayWasHidden(const Request &request, Fetched fetched);
    void showPhotoTable(bool shown);
    void setSearchCancelShown(bool shown);
    void openResource(const std::optional<ResourceItem> &resource);

    std::vector<ResourceTypeItem> m_categorys;
    std::vector<ResourceItem> m_resources;
    ServiceType m_serviceType = NoService;
    bool m_bSuccess = false;
    bool m_appeared = false;
    bool m_photoTableShown = true;
    QString m_searchText;
    bool m_searchCancelShown = false;
    HsResourceListModel m_resourceTable{1};
    HsResourceListModel m_photoTable{2};
    // What the resource table shows, for its further pages.
    Request m_shown;
    HsPaging m_paging;
    HsTaskRunner m_pages;
};
