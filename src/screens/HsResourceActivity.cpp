#include "HsResourceActivity.h"

#include "cache/ListStampDao.h"
#include "cache/ResourceDao.h"
#include "cache/ResourceTypeDao.h"
#include "common/HsLog.h"
#include "screens/HsOffThread.h"
#include "screens/HsResourceDetail.h"
#include "screens/HsText.h"
#include "services/ResourceService.h"

namespace {

const QString kFetching = QStringLiteral("获取资源, 请稍候...");

} // namespace

HsResourceActivity::HsResourceActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                                       QObject *parent)
    : HsCategoryArea(port, session, defaults, QStringLiteral("本地资源"), parent)
{}

void HsResourceActivity::viewDidLoad()
{
    m_categorys = ResourceTypeDao().initSelects();
    QStringList titles{QStringLiteral("推荐")};
    for (const ResourceTypeItem &type : m_categorys)
        titles << hsDisplayText(type.typeName);
    categoryBar()->setTitles(titles);
    chooseCategory(photoCategory);
    showPhotoTable(true);
}

void HsResourceActivity::viewDidAppear()
{
    if (m_appeared)
        return;
    m_appeared = true;
    if (category() == photoCategory)
        selectedCategory(photoCategory);
}

std::optional<std::string> HsResourceActivity::typeCodeOf(int n) const
{
    if (n < 2 || n > static_cast<int>(m_categorys.size()) + 1)
        return std::nullopt;
    return m_categorys[static_cast<size_t>(n - 2)].typeCode.value_or(std::string());
}

bool HsResourceActivity::hasCachedList(int tag) const
{
    const std::optional<std::string> typeCode = typeCodeOf(tag);
    return typeCode && !ResourceDao().initSelects(*typeCode).empty();
}

// "推荐" is never cached: it says nothing of age, whatever its fetch brings.
void HsResourceActivity::selectedCategory(int n)
{
    if (n == photoCategory) {
        showPhotoTable(true);
        showFreshList();
        runFetch({n, PhotoList, {}});
        return;
    }
    const std::optional<std::string> typeCode = typeCodeOf(n);
    if (!typeCode)
        return;
    showPhotoTable(false);
    std::vector<ResourceItem> cached = ResourceDao().initSelects(*typeCode);
    if (!cached.empty()) {
        m_shown = {n, TypeList, *typeCode};
        m_paging.restart(cached.size());
        m_resources = std::move(cached);
        m_resourceTable.reloadData(m_resources);
        showCachedList(ListStampDao().storedAt(ListStampDao::resourceList, *typeCode));
        return;
    }
    runFetch({n, TypeList, *typeCode});
}

void HsResourceActivity::runFetch(const Request &request)
{
    m_bSuccess = false;
    hsRunUnderOverlay(
        port(), kFetching, this, [request] { return doFetch(request); },
        [this, request](Fetched fetched) { overlayWasHidden(request, std::move(fetched)); });
}

// Runs on a worker thread. Only an answered document with code 0 is a result: it replaces a
// type's cache (also with nothing, when it holds no resources) and becomes the list to show.
HsResourceActivity::Fetched HsResourceActivity::doFetch(const Request &request)
{
    Fetched fetched = fetchPage(request, 1);
    if (fetched && request.kind == TypeList)
        ResourceDao().replaceCategory(request.argument, *fetched);
    return fetched;
}

// Runs on a worker thread. The resources of an answered document with code 0, or nothing.
HsResourceActivity::Fetched HsResourceActivity::fetchPage(const Request &request, int page)
{
    ResourceService service;
    ResourceServiceResponse<ResourceItem> response;
    switch (request.kind) {
    case PhotoList:
        response = service.GetTopResource(page);
        break;
    case TypeList:
        response = service.GetResources(request.argument, page);
        break;
    case SearchList:
        response = service.SearchResources(request.argument, page);
        break;
    case NoService:
        return std::nullopt;
    }
    if (!response.answered || response.code != 0)
        return std::nullopt;
    return std::move(response.items);
}

void HsResourceActivity::loadMore()
{
    if (m_shown.kind != TypeList && m_shown.kind != SearchList)
        return;
    m_paging.loadNextPage(
        m_pages, [request = m_shown](int page) { return fetchPage(request, page); },
        [this](const std::vector<ResourceItem> &resources) { return appendPage(resources); },
        [this] { loadMore(); });
}

std::size_t HsResourceActivity::appendPage(const std::vector<ResourceItem> &resources)
{
    const std::size_t added = m_resourceTable.appendResources(resources);
    m_resources = m_resourceTable.resources();
    return added;
}

// A result for a category that is no longer the selected one is dropped (a type's cache has
// been filled all the same); the table that the result belongs to is reloaded with it. Until
// then, and after a failed fetch, the resource table keeps its list and that list's further
// pages; a new list begins its paging afresh, so no page of the old one reaches it. A type's
// list kept after a failed fetch is the one stored last, and says when that was.
void HsResourceActivity::overlayWasHidden(const Request &request, Fetched fetched)
{
    if (request.category != category())
        return;
    if (!fetched) {
        if (!m_photoTableShown && m_shown.kind == TypeList)
            showStoredList(ListStampDao().storedAt(ListStampDao::resourceList, m_shown.argument));
        return;
    }
    showFreshList();
    m_bSuccess = true;
    m_serviceType = request.kind;
    if (request.kind != PhotoList) {
        m_shown = request;
        m_paging.restart(fetched->size());
    }
    m_resources = std::move(*fetched);
    if (request.kind == PhotoList)
        m_photoTable.reloadData(m_resources);
    else
        m_resourceTable.reloadData(m_resources);
}

void HsResourceActivity::showPhotoTable(bool shown)
{
    if (shown == m_photoTableShown)
        return;
    m_photoTableShown = shown;
    emit photoTableShownChanged();
}

void HsResourceActivity::setSearchText(const QString &text)
{
    if (text == m_searchText)
        return;
    m_searchText = text;
    emit searchTextChanged();
}

void HsResourceActivity::setSearchCancelShown(bool shown)
{
    if (shown == m_searchCancelShown)
        return;
    m_searchCancelShown = shown;
    emit searchCancelShownChanged();
}

void HsResourceActivity::searchBarTextDidBeginEditing()
{
    hsLog("searchBarTextDidBeginEditing");
    setSearchCancelShown(true);
}

void HsResourceActivity::searchBarCancelButtonClicked()
{
    hsLog("searchBarCancelButtonClicked");
    setSearchCancelShown(false);
    setSearchText(QString());
    emit keyboardDismissed();
}

// Searches the whole catalogue for the text as typed; the selected category and the highlight
// stay. The search bar belongs to the resource table, so there is no search while "推荐" shows.
void HsResourceActivity::searchBarSearchButtonClicked()
{
    hsLog("searchBar.text: %s", m_searchText.toUtf8().constData());
    if (m_searchText.isEmpty() || m_photoTableShown)
        return;
    emit keyboardDismissed();
    runFetch({category(), SearchList, m_searchText.toStdString()});
}

void HsResourceActivity::didSelectRow(int row)
{
    openResource(m_resourceTable.resourceAt(row));
}

void HsResourceActivity::didSelectPhoto(int row, int half)
{
    openResource(m_photoTable.resourceAt(row, half));
}

void HsResourceActivity::openResource(const std::optional<ResourceItem> &resource)
{
    if (!resource)
        return;
    auto *detail = new HsResourceDetail(port());
    detail->setResourceId(resource->resId);
    hsLog("%d", resource->resId);
    port().push(detail);
    detail->viewDidLoad();
}
