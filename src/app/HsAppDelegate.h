#pragma once

#include "screens/HsUserSession.h"
#include "screens/ScreenPort.h"
#include "settings/HsDefaults.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <QtQml/qqmlregistration.h>
#include <memory>

class HsLoginController;
class HsQuickScreenPort;
class QQmlApplicationEngine;
class QQuickWindow;

// The application object's delegate: the launch sequence, the first-run guide, the device's
// defaults keys, the notification badge, and the signed-in user for the whole run. With a port
// of its own it shows the QML window; given a port (tests) it runs without one.
class HsAppDelegate : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application delegate is made by main()")
    Q_PROPERTY(bool guideVisible READ isGuideVisible NOTIFY guideVisibleChanged)
    Q_PROPERTY(QStringList userGuideImages READ userGuideImages CONSTANT)
    Q_PROPERTY(int badgeNumber READ badgeNumber NOTIFY badgeNumberChanged)
public:
    // Keeps its defaults file and the cache database in `dataDirectory`.
    explicit HsAppDelegate(const QString &dataDirectory, ScreenPort *port = nullptr,
                           QObject *parent = nullptr);
    ~HsAppDelegate() override;

    static QString defaultsFileName() { return QStringLiteral("defaults.ini"); }

    bool didFinishLaunchingWithOptions();

    int numberOfGuidePages() const { return static_cast<int>(m_userGuideImages.size()); }
    QStringList userGuideImages() const { return m_userGuideImages; }
    bool isGuideVisible() const { return m_guideVisible; }
    // A tap on a guide page; only the last page closes the guide.
    Q_INVOKABLE void guideDidSelectPageAtIndex(int index);
    void closeUserGuide();

    void didRegisterForRemoteNotificationsWithDeviceToken(const QByteArray &token);
    void didReceiveRemoteNotification(const QVariantMap &payload);
    int badgeNumber() const { return m_badgeNumber; }

    // "<" + lower-case hex, four bytes to a group, groups separated by one space + ">".
    static QString deviceTokenDescription(const QByteArray &token);

    HsUserSession &session() { return m_session; }
    HsDefaults &defaults() { return m_defaults; }
    ScreenPort &port() { return *m_port; }
    HsLoginController *loginController() { return m_loginController.get(); }
    // The window, when the delegate shows one.
    QQuickWindow *window() const;

signals:
    void guideVisibleChanged();
    void badgeNumberChanged();

private:
    void registerForRemoteNotifications();
    QByteArray localDeviceToken() const;
    void showGuideAtLaunch();
    void createWindow();

    QString m_dataDirectory;
    HsDefaults m_defaults;
    HsUserSession m_session;
    // Declared so that the window goes first, then the port (which waits for running overlay
    // work), then the login screen that work belongs to.
    std::unique_ptr<HsLoginController> m_loginController;
    std::unique_ptr<HsQuickScreenPort> m_ownPort;
    ScreenPort *m_port;
    std::unique_ptr<QQmlApplicationEngine> m_engine;
    QStringList m_userGuideImages;
    bool m_guideVisible = false;
    int m_badgeNumber = 0;
};
