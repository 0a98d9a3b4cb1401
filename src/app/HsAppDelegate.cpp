#include "HsAppDelegate.h"

#include "app/HsQuickScreenPort.h"
#include "screens/HsLoginController.h"
#include "common/HsLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>
#include <QMetaObject>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QRandomGenerator>
#include <QUuid>

namespace {

const QString keyFirstOpen = QStringLiteral("firstOpen");
const QString keyCurrentVersion = QStringLiteral("currentversion");
const QString keyDeviceUserId = QStringLiteral("deviceuserid");
const QString keyPushToken = QStringLiteral("pushtoken");

constexpr int deviceTokenBytes = 32;
constexpr int bytesPerTokenGroup = 4;

// The text form of a payload value in the log: objects and lists as compact JSON.
QByteArray describe(const QVariant &value)
{
    if (!value.isValid())
        return QByteArrayLiteral("(null)");
    if (value.metaType().id() == QMetaType::QVariantMap || value.metaType().id() == QMetaType::QVariantList)
        return QJsonDocument::fromVariant(value).toJson(QJsonDocument::Compact);
    return value.toString().toUtf8();
}

} // namespace

HsAppDelegate::HsAppDelegate(const QString &dataDirectory, ScreenPort *port, QObject *parent)
    : QObject(parent), m_dataDirectory(dataDirectory),
      m_defaults(QDir(dataDirectory).filePath(defaultsFileName())),
      m_ownPort(port ? nullptr : std::make_unique<HsQuickScreenPort>()), m_port(port ? port : m_ownPort.get())
{
    QDir().mkpath(dataDirectory);
}

HsAppDelegate::~HsAppDelegate() = default;

bool HsAppDelegate::didFinishLaunchingWithOptions()
{
    registerForRemoteNotifications();
    m_loginController = std::make_unique<HsLoginController>(*m_port, m_session, m_defaults, m_dataDirectory);
    if (!m_defaults.contains(keyFirstOpen))
        showGuideAtLaunch();
    if (m_ownPort)
        createWindow();
    m_loginController->viewDidLoad();
    return true;
}

void HsAppDelegate::registerForRemoteNotifications()
{
    // Without a push service the device token is made here, once per installation, and
    // delivered the way a platform delivers it: later, from the event loop.
    const QByteArray token = localDeviceToken();
    QMetaObject::invokeMethod(
        this, [this, token] { didRegisterForRemoteNotificationsWithDeviceToken(token); },
        Qt::QueuedConnection);
}

QByteArray HsAppDelegate::localDeviceToken() const
{
    QString stored = m_defaults.value(keyPushToken).value_or(QString());
    stored.remove(QLatin1Char('<')).remove(QLatin1Char('>')).remove(QLatin1Char(' '));
    const QByteArray token = QByteArray::fromHex(stored.toLatin1());
    if (token.size() == deviceTokenBytes)
        return token;
    QByteArray fresh(deviceTokenBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(fresh.data()),
                                          deviceTokenBytes / static_cast<int>(sizeof(quint32)));
    return fresh;
}

void HsAppDelegate::showGuideAtLaunch()
{
    m_userGuideImages = {QStringLiteral("w01.jpg"), QStringLiteral("w02.jpg"), QStringLiteral("w03.jpg"),
                         QStringLiteral("w04.jpg")};
    m_guideVisible = true;
    emit guideVisibleChanged();
    m_defaults.setValue(keyCurrentVersion, QCoreApplication::applicationVersion());
    if (!m_defaults.contains(keyDeviceUserId))
        m_defaults.setValue(keyDeviceUserId, QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
}

void HsAppDelegate::createWindow()
{
    m_engine = std::make_unique<QQmlApplicationEngine>();
    m_engine->setInitialProperties(
        {{QStringLiteral("appDelegate"), QVariant::fromValue(this)},
         {QStringLiteral("screenPort"), QVariant::fromValue(m_ownPort.get())},
         {QStringLiteral("loginController"), QVariant::fromValue(m_loginController.get())}});
    m_engine->load(QUrl(QStringLiteral("qrc:/HsSchool/HsAppWindow.qml")));
}

QQuickWindow *HsAppDelegate::window() const
{
    if (!m_engine || m_engine->rootObjects().isEmpty())
        return nullptr;
    return qobject_cast<QQuickWindow *>(m_engine->rootObjects().constFirst());
}

void HsAppDelegate::guideDidSelectPageAtIndex(int index)
{
    hsLog("guide page clicked:");
    if (index + 1 == numberOfGuidePages())
        closeUserGuide();
}

void HsAppDelegate::closeUserGuide()
{
    if (m_guideVisible) {
        m_guideVisible = false;
        emit guideVisibleChanged();
    }
    m_defaults.setValue(keyFirstOpen, QStringLiteral("1"));
}

QString HsAppDelegate::deviceTokenDescription(const QByteArray &token)
{
    QString text = QStringLiteral("<");
    for (int start = 0; start < token.size(); start += bytesPerTokenGroup) {
        if (start > 0)
            text += QLatin1Char(' ');
        text += QString::fromLatin1(token.mid(start, bytesPerTokenGroup).toHex());
    }
    return text + QLatin1Char('>');
}

void HsAppDelegate::didRegisterForRemoteNotificationsWithDeviceToken(const QByteArray &token)
{
    const QString description = deviceTokenDescription(token);
    m_defaults.setValue(keyPushToken, description);
    hsLog("pushtoken: %s", description.toUtf8().constData());
}

void HsAppDelegate::didReceiveRemoteNotification(const QVariantMap &payload)
{
    hsLog("%s", describe(payload).constData());
    const QVariant badge = payload.value(QStringLiteral("aps")).toMap().value(QStringLiteral("badge"));
    hsLog("received badge number ---%s ----", describe(badge).constData());
    for (auto entry = payload.constBegin(); entry != payload.constEnd(); ++entry)
        hsLog("key: %s, value: %s", entry.key().toUtf8().constData(), describe(entry.value()).constData());
    hsLog("the badge number is  %d", m_badgeNumber);
    hsLog("the application  badge number is  %d", m_badgeNumber);
    ++m_badgeNumber;
    emit badgeNumberChanged();
}
