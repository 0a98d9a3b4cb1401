#pragma once

#include "screens/HsContactsActivity.h"
#include "screens/HsNewsListActivity.h"
#include "screens/HsResourceActivity.h"
#include "screens/HsStudentActivity.h"
#include "screens/HsUserSession.h"
#include "screens/MainTabModel.h"
#include "screens/ScreenPort.h"
#include "settings/HsDefaults.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

// The main tab screen: builds the five areas at once and shows one of them at a time above a
// tab bar of five buttons (tags 1000 to 1004). Areas are never rebuilt by a switch, so each keeps
// its state while hidden.
class MainController : public QObject
{
    Q_OBJECT
    // Named apart from the interface file "MainController.qml" that shows it.
    QML_NAMED_ELEMENT(MainScreenController)
    QML_UNCREATABLE("The main screen is made after a sign-in")
    Q_PROPERTY(int viewType READ viewType NOTIFY viewTypeChanged)
    Q_PROPERTY(int shownTag READ shownTag NOTIFY shownTagChanged)
    Q_PROPERTY(QAbstractItemModel *tabs READ tabs CONSTANT)
    Q_PROPERTY(HsStudentActivity *viewStudent READ viewStudent CONSTANT)
    Q_PROPERTY(HsNewsListActivity *viewSchool READ viewSchool CONSTANT)
    Q_PROPERTY(HsNewsListActivity *viewNews READ viewNews CONSTANT)
    Q_PROPERTY(HsResourceActivity *viewResource READ viewResource CONSTANT)
    Q_PROPERTY(HsContactsActivity *viewContact READ viewContact CONSTANT)
public:
    // The interface file that shows this screen.
    static constexpr auto interfaceFile = "MainController";

    MainController(ScreenPort &port, HsUserSession &session, HsDefaults &defaults, QObject *parent = nullptr);

    int viewType() const { return m_viewType; }
    int shownTag() const { return m_shownTag; }
    MainTabModel *tabs() { return &m_tabs; }

    HsStudentActivity *viewStudent() const { return m_student; }
    HsNewsListActivity *viewSchool() const { return m_school; }
    HsNewsListActivity *viewNews() const { return m_news; }
    HsResourceActivity *viewResource() const { return m_resource; }
    HsContactsActivity *viewContact() const { return m_contacts; }

    // The action of the five tab buttons.
    Q_INVOKABLE void toolbarPress(int tag);
    // Shows the area of the tab `tag` and marks its button.
    void updateTabBar(int tag);

signals:
    void viewTypeChanged();
    void shownTagChanged();

private:
    void viewDidLoad(ScreenPort &port, HsUserSession &session, HsDefaults &defaults);
    // Keeps the tab `tag` showing how many of the area's headlines are unread.
    void showUnreadCount(int tag, HsNewsListActivity *area);

    int m_viewType = 0;
    int m_shownTag = 0;
    MainTabModel m_tabs;
    HsStudentActivity *m_student = nullptr;
    HsNewsListActivity *m_school = nullptr;
    HsNewsListActivity *m_news = nullptr;
    HsResourceActivity *m_resource = nullptr;
    HsContactsActivity *m_contacts = nullptr;
};
