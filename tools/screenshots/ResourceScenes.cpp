#include "ScreenshotScenes.h"
#include "screens/HsContactsActivity.h"
#include "screens/HsResourceActivity.h"
#include "screens/HsResourceDetail.h"
#include "services/ResourceService.h"

namespace {

// A resources area as the main screen builds it, category taps allowed whatever the network test
// of this machine says (the demo school is on the loopback).
HsResourceActivity *resourceArea(ScreenPort &port, HsUserSession &session, HsDefaults &defaults)
{
    auto *area = new HsResourceActivity(port, session, defaults);
    area->setNetworkCheck([] { return true; });
    area->viewDidLoad();
    return area;
}

HsContactsActivity *contactsArea(ScreenPort &port, HsUserSession &session, HsDefaults &defaults, int category)
{
    auto *area = new HsContactsActivity(port, session, defaults);
    area->setNetworkCheck([] { return true; });
    area->viewDidLoad();
    area->pressCategory(category);
    return area;
}

// Shown for the first time, the area fetches the recommended photos itself.
const ScreenshotSceneRegistration recommended{{QStringLiteral("resources-recommended"), resourceArea}};

// The second resource type, fetched (and cached) when chosen.
const ScreenshotSceneRegistration typeList{
    {QStringLiteral("resources-type"), [](ScreenPort &port, HsUserSession &session, HsDefaults &defaults) {
         HsResourceActivity *area = resourceArea(port, session, defaults);
         area->pressCategory(3);
         return area;
     }}};

// A search from a type list whose resources the scene before has cached.
const ScreenshotSceneRegistration searchResults{
    {QStringLiteral("resources-search"), [](ScreenPort &port, HsUserSession &session, HsDefaults &defaults) {
         HsResourceActivity *area = resourceArea(port, session, defaults);
         area->pressCategory(3);
         area->searchBarTextDidBeginEditing();
         area->setSearchText(QStringLiteral("博物馆"));
         area->searchBarSearchButtonClicked();
         return area;
     }}};

// The first recommended resource.
const ScreenshotSceneRegistration detail{
    {QStringLiteral("resources-detail"), [](ScreenPort &port, HsUserSession &, HsDefaults &) {
         auto *screen = new HsResourceDetail(port);
         const ResourceServiceResponse<ResourceItem> photos = ResourceService().GetTopResource(1);
         screen->setResourceId(photos.items.empty() ? 1 : photos.items.front().resId);
         screen->viewDidLoad();
         return screen;
     }}};

const ScreenshotSceneRegistration teachers{
    {QStringLiteral("contacts-teachers"), [](ScreenPort &port, HsUserSession &session, HsDefaults &defaults) {
         return contactsArea(port, session, defaults, HsContactsActivity::teachersCategory);
     }}};

const ScreenshotSceneRegistration classmates{
    {QStringLiteral("contacts-classmates"),
     [](ScreenPort &port, HsUserSession &session, HsDefaults &defaults) {
         return contactsArea(port, session, defaults, HsContactsActivity::studentsCategory);
     }}};

} // namespace
