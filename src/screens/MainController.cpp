#include "MainController.h"

#include "screens/HsContactsActivity.h"
#include "screens/HsNewsActivity.h"
#include "screens/HsResourceActivity.h"
#include "screens/HsSchoolActivity.h"
#include "screens/HsStudentActivity.h"

MainController::MainController(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                               QObject *parent)
    : QObject(parent)
{
    viewDidLoad(port, session, defaults);
}

void MainController::viewDidLoad(ScreenPort &port, HsUserSession &session, HsDefaults &defaults)
{
    m_areas = {new HsStudentActivity(port, session, defaults), new HsSchoolActivity(port, session, defaults),
               new HsNewsActivity(port, session, defaults), new HsResourceActivity(port, session, defaults),
               new HsContactsActivity(port, session, defaults)};
    for (HsAreaActivity *activity : m_areas) {
        activity->viewDidLoad();
        activity->setParent(this);
    }
    showUnreadCount(MainTabModel::firstTag + 1, static_cast<HsNewsListActivity *>(viewSchool()));
    showUnreadCount(MainTabModel::firstTag + 2, static_cast<HsNewsListActivity *>(viewNews()));
    updateTabBar(MainTabModel::firstTag);
}

void MainController::toolbarPress(int tag)
{
    const int type = tag - MainTabModel::firstTag + 1;
    if (type < 1 || type > MainTabModel::tabCount || type == m_viewType)
        return;
    m_viewType = type;
    emit viewTypeChanged();
    updateTabBar(tag);
}

void MainController::updateTabBar(int tag)
{
    m_tabs.markTab(tag);
    if (m_shownTag == tag)
        return;
    m_shownTag = tag;
    emit shownTagChanged();
}

void MainController::showUnreadCount(int tag, HsNewsListActivity *area)
{
    m_tabs.setUnreadCount(tag, area->unreadCount());
    connect(area, &HsNewsListActivity::unreadCountChanged, this,
            [this, tag, area] { m_tabs.setUnreadCount(tag, area->unreadCount()); });
}
