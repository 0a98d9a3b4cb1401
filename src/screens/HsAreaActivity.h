#pragma once

#include "app/HsDefaults.h"
#include "screens/HsUserSession.h"
#include "screens/ScreenPort.h"

#include <QObject>
#include <QString>

// What the main tab screen needs of each of its five areas: a title, a start-up that runs when
// the main screen builds it (before any tab is shown), and the settings button of its title bar.
class HsAreaActivity : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString title READ title CONSTANT)
public:
    HsAreaActivity(ScreenPort &port, HsUserSession &session, HsDefaults &defaults, const QString &title,
                   QObject *parent = nullptr);

    QString title() const { return m_title; }

    // Runs the area's own start-up; the main screen calls it once, right after building the area.
    virtual void viewDidLoad() {}

    // The title bar's settings button: opens the settings list on top of the main screen.
    Q_INVOKABLE void pressSetting();

protected:
    ScreenPort &port() const { return m_port; }
    HsUserSession &session() const { return m_session; }
    HsDefaults &defaults() const { return m_defaults; }

private:
    ScreenPort &m_port;
    HsUserSession &m_session;
    HsDefaults &m_defaults;
    QString m_title;
};
