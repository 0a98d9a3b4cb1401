#include "app/HsAppSetup.h"
#include "settings/HsPasswordStore.h"
#include "widgets/HsTaskRunner.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

namespace {

QtMessageHandler qtHandler = nullptr;

// A binding loop leaves a property at whatever value the loop broke off at, so it fails the test
// whose screens showed it.
void failOnBindingLoops(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("Binding loop detected")))
        ADD_FAILURE() << message.toStdString();
    qtHandler(type, context, message);
}

} // namespace

// The application tests run inside a real Qt event loop on the offscreen platform, so no
// display is needed.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    hsSetUpApplication();
    // Passwords go to a secret store only where the test command started one for the tests, each
    // test process under a name of its own; otherwise to the defaults file, so that a developer's
    // own keyring is never touched.
    HsPasswordStore::setSecretServiceName(
        qEnvironmentVariableIsSet("HSSCHOOL_TEST_SECRET_SERVICE")
            ? std::optional(QStringLiteral("hsschool-test-%1").arg(QCoreApplication::applicationPid()))
            : std::nullopt);
    qtHandler = qInstallMessageHandler(failOnBindingLoops);
    testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    // Tasks that a test left running end before the objects of the process go away.
    HsTaskRunner::waitForAllTasks();
    return status;
}
