#include "app/HsAppDelegate.h"
#include "app/HsAppSetup.h"
#include "app/HsNotificationChannel.h"
#include "transport/HsServiceConfig.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    hsSetUpApplication();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("School home-school communication client"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption endpoint(QStringLiteral("endpoint"), QStringLiteral("Service endpoint URL."),
                                      QStringLiteral("URL"));
    const QCommandLineOption notify(
        QStringLiteral("notify"),
        QStringLiteral("Send a remote-notification payload (a JSON object) to the "
                       "running instance and exit."),
        QStringLiteral("JSON"));
    parser.addOption(endpoint);
    parser.addOption(notify);
    parser.process(application);

    const QString dataDirectory = hsDataDirectory();
    if (parser.isSet(notify)) {
        QString error;
        const bool sent = HsNotificationChannel::send(HsNotificationChannel::socketName(dataDirectory),
                                                      parser.value(notify).toUtf8(), &error);
        if (!sent)
            std::fprintf(stderr, "hsschool: %s\n", qPrintable(error));
        return sent ? 0 : 1;
    }
    if (parser.isSet(endpoint))
        HsServiceConfig::setEndpoint(parser.value(endpoint).toStdString());

    HsAppDelegate delegate(dataDirectory);
    HsNotificationChannel notifications;
    QObject::connect(&notifications, &HsNotificationChannel::payloadReceived, &delegate,
                     &HsAppDelegate::didReceiveRemoteNotification);
    if (!notifications.listen(HsNotificationChannel::socketName(dataDirectory)))
        std::fprintf(stderr, "hsschool: notifications cannot be received: %s\n", qPrintable(dataDirectory));
    delegate.didFinishLaunchingWithOptions();
    if (!delegate.window())
        return 1;
    return application.exec();
}
