#include "app/HsAppDelegate.h"
#include "app/HsAppSetup.h"
#include "app/HsNotificationChannel.h"
#include "services/HsServiceLink.h"
#include "widgets/HsTaskRunner.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <cstdio>
#include <cstring>

namespace {

const QCommandLineOption endpointOption(QStringLiteral("endpoint"), QStringLiteral("Service endpoint URL."),
                                        QStringLiteral("URL"));
const QCommandLineOption
    notifyOption(QStringLiteral("notify"),
                 QStringLiteral("Send a remote-notification payload (a JSON object) to the "
                                "running instance and exit."),
                 QStringLiteral("JSON"));

void parseCommandLine(QCommandLineParser &parser, const QCoreApplication &application)
{
    parser.setApplicationDescription(QStringLiteral("School home-school communication client"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(endpointOption);
    parser.addOption(notifyOption);
    parser.process(application);
}

// Sending a notification needs no window, so it also works where there is no display.
bool wantsToNotify(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--notify", 8) == 0 || std::strncmp(argv[i], "-notify", 7) == 0)
            return true;
    }
    return false;
}

int sendNotification(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    hsSetApplicationNames();
    QCommandLineParser parser;
    parseCommandLine(parser, application);
    QString error;
    const bool sent = HsNotificationChannel::send(HsNotificationChannel::socketName(hsDataDirectory()),
                                                  parser.value(notifyOption).toUtf8(), &error);
    if (!sent)
        std::fprintf(stderr, "hsschool: %s\n", qPrintable(error));
    return sent ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (wantsToNotify(argc, argv))
        return sendNotification(argc, argv);

    QGuiApplication application(argc, argv);
    hsSetUpApplication();
    QCommandLineParser parser;
    parseCommandLine(parser, application);
    if (parser.isSet(endpointOption))
        HsServiceLink::setEndpoint(parser.value(endpointOption).toStdString());

    const QString dataDirectory = hsDataDirectory();
    HsAppDelegate delegate(dataDirectory);
    HsNotificationChannel notifications;
    QObject::connect(&notifications, &HsNotificationChannel::payloadReceived, &delegate,
                     &HsAppDelegate::didReceiveRemoteNotification);
    if (!notifications.listen(HsNotificationChannel::socketName(dataDirectory)))
        std::fprintf(stderr, "hsschool: another instance receives the notifications of %s\n",
                     qPrintable(dataDirectory));
    // Once the window has closed, calls still waiting for the network are abandoned, so the
    // workers still running return at once instead of after the time-out, and the process waits
    // for them before the objects they use go away. A refresh cut short this way writes nothing
    // to the cache.
    QObject::connect(&application, &QCoreApplication::aboutToQuit, [] { HsServiceLink::abandonCalls(); });
    hsQuitOnTerminationSignals();
    delegate.didFinishLaunchingWithOptions();
    if (!delegate.window())
        return 1;
    const int status = application.exec();
    HsTaskRunner::waitForAllTasks();
    return status;
}
