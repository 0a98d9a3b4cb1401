#pragma once

#include "screens/HsAreaActivity.h"
#include "screens/HsNewsListActivity.h"
#include "screens/HsUserSession.h"
#include "screens/MainTabModel.h"
#include "screens/ScreenPort.h"
#include "settings/HsDefaults.h"

#include <QObject>
#include <array>

// The main tab screen: builds the five areas at once and shows one of them at a time above a
// tab bar of five buttons (tags 1000 to 1004). Areas are never rebuilt by a switch, so each keeps
// its state while hidden.
class MainController : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int viewType READ viewType NOTIFY viewTypeChanged)
    Q_PROPERTY(int shownTag READ shownTag NOTIFY shownTagChanged)
    Q_PROPERTY(QAbstractItemModel *tabs READ tabs CONSTANT)
    Q_PROPERTY(QObject *viewStudent READ viewStudent CONSTANT)
    Q_PROPERTY(QObject *viewSchool READ viewSchool CONSTANT)
    Q_PROPERTY(QObject *viewNews READ viewNews CONSTANT)
    Q_PROPERTY(QObject *viewResource READ viewResource CONSTANT)
    Q_PROPERTY(QObject *viewContact READ viewContact CONSTANT)
public:
    MainController(ScreenPort &port, HsUserSession &session, HsDefaults &defaults, QObject *parent = nullptr);

    int viewType() const { return m_viewType; }
    int shownTag() const { return m_shownTag; }
    MainTabModel *tabs() { return &m_tabs; }

    HsAreaActivity *viewStudent() const { return area(0); }
    HsAreaActivity *viewSchool() const { return area(1); }
    HsAreaActivity *viewNews() const { return area(2); }
    HsAreaActivity *viewResource() const { return area(3); }
    HsAreaActivity *viewContact() const { return area(4); }

    // The action of the five tab buttons.
    Q_INVOKABLE void toolbarPress(int tag);
    // Shows the area of the tab `tag` and marks its button.
    void updateTabBar(int tag);

signals:
    void viewTypeChanged();
    void shownTagChanged();

private:
    void viewDidLoad(ScreenPort &port, HsUserSession &session, HsDefaults &defaults);
    HsAreaActivity *area(int index) const { return m_areas[static_cast<size_t>(index)]; }
    // Keeps the tab `tag` showing how many of the area's headlines are unread.
    void showUnreadCount(int tag, HsNewsListActivity *area);

    int m_viewType = 0;
    int m_shownTag = 0;
    MainTabModel m_tabs;
    std::array<HsAreaActivity *, MainTabModel::tabCount> m_areas{};
};
