#include "MainController.h"

#include "screens/HsNewsActivity.h"
#include "screens/HsSchoolActivity.h"

#include <array>

MainController::MainController(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                               QObject *parent)
    : QObject(parent)
{
    viewDidLoad(port, session, defaults);
}

void MainController::viewDidLoad(ScreenPort &port, HsUserSession &session, HsDefaults &defaults)
{
    m_student = new HsStudentActivity(port, session, defaults);
    m_school = new HsSchoolActivity(port, session, defaults);
    m_news = new HsNewsActivity(port, session, defaults);
    m_resource = new HsResourceActivity(port, session, defaults);
    m_contacts = new HsContactsActivity(port, session, defaults);
    for (HsAreaActivity *activity :
         std::initializer_list<HsAreaActivity *>{m_student, m_school, m_news, m_resource, m_contacts}) {
        activity->viewDidLoad();
        activity->setParent(this);
    }
    showUnreadCount(MainTabModel::NoticesTab, m_school);
    showUnreadCount(MainTabModel::NewsTab, m_news);
    updateTabBar(MainTabModel::StudentTab);
}

void MainController::toolbarPress(int tag)
{
    const int type = tag - MainTabModel::StudentTab + 1;
    if (type < 1 || type > MainTabModel::tabCount || type == m_viewType)
        return;
    m_viewType = type;
    emit viewTypeChanged();
    updateTabBar(tag);
    const std::array<HsAreaActivity *, MainTabModel::tabCount> areas{m_student, m_school, m_news, m_resource,
                                                                     m_contacts};
    areas[static_cast<size_t>(type - 1)]->viewWillAppear();
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
