#pragma once

#include "screens/HsUserSession.h"
#include "screens/ScreenPort.h"
#include "settings/HsDefaults.h"

#include <QObject>
#include <QString>
#include <functional>

// What the main tab screen needs of each of its five areas: a title, a start-up that runs when
// the main screen builds it (before any tab is shown), and the settings button of its title bar.
// Areas whose category buttons first test for a network route share that test here.
class HsAreaActivity : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString title READ title CONSTANT)
public:
    using NetworkCheck = std::function<bool()>;

    HsAreaActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults, const QString &title,
                   QObject *parent = nullptr);

    QString title() const { return m_title; }

    // Runs the area's own start-up; the main screen calls it once, right after building the area.
    virtual void viewDidLoad() {}
    // The user has switched to the area's tab.
    virtual void viewWillAppear() {}

    // The title bar's settings button: opens the settings list on top of the main screen.
    Q_INVOKABLE void pressSetting();

    // Replaces the test for a network route (by default the platform's, which never waits on
    // the network) made before a category tap.
    void setNetworkCheck(NetworkCheck check) { m_networkCheck = std::move(check); }

protected:
    ScreenPort &port() const { return m_port; }
    HsUserSession &session() const { return m_session; }
    HsDefaults &defaults() const { return m_defaults; }
    bool networkAvailable() const { return m_networkCheck(); }

private:
    ScreenPort &m_port;
    HsUserSession &m_session;
    HsDefaults &m_defaults;
    QString m_title;
    NetworkCheck m_networkCheck;
};
