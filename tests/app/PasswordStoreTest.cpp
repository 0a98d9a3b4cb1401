// Where remembered passwords are kept: the desktop's secret store when the test command runs one
// (scripts/with-secret-service.sh), and the owner-only defaults file when there is no D-Bus
// session at all, with the sign-in still remembering the password.

#include "AppTestSupport.h"
#include "ScreenPortTestSupport.h"
#include "cache/HsPreferences.h"
#include "screens/HsLoginController.h"
#include "settings/HsPasswordStore.h"
#include "transport/HsServiceConfig.h"
#include "widgets/HsTaskRunner.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr auto kNoSessionBusChild = "HSSCHOOL_TEST_NO_SESSION_BUS";
const QString kAccount = QStringLiteral("teacher:wangfang");

// Runs the calls of the store one after another, each waiting for its answer.
struct StoreUse
{
    HsPasswordStore &store;

    HsPasswordStore::Place write(const QString &password)
    {
        std::optional<HsPasswordStore::Place> place;
        store.write(kAccount, password, [&](HsPasswordStore::Place answered) { place = answered; });
        EXPECT_TRUE(waitUntil([&] { return place.has_value(); }));
        return place.value_or(HsPasswordStore::Place::Nowhere);
    }

    std::optional<QString> read()
    {
        bool answered = false;
        std::optional<QString> password;
        store.read(kAccount, [&](const std::optional<QString> &found) {
            password = found;
            answered = true;
        });
        EXPECT_TRUE(waitUntil([&] { return answered; }));
        return password;
    }

    void remove()
    {
        bool answered = false;
        store.remove(kAccount, [&] { answered = true; });
        EXPECT_TRUE(waitUntil([&] { return answered; }));
    }
};

bool ownerOnly(const QString &path)
{
    // Qt reports the current user's bits as well, which duplicate the owner's.
    return (QFile::permissions(path) &
            ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser)) ==
           (QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

class PasswordStoreTest : public testing::Test
{
protected:
    void TearDown() override { HsPasswordStore::setSecretServiceName(savedName); }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("defaults.ini"));
    HsDefaults defaults{path};
    HsPasswordStore store{defaults};
    StoreUse use{store};
    std::optional<QString> savedName = HsPasswordStore::secretServiceName();
};

} // namespace

// A password the secret store takes leaves the file, and one it forgets is gone from both.
TEST_F(PasswordStoreTest, TheSecretStoreKeepsThePasswordAndTheFileLetsItsCopyGo)
{
    if (!qEnvironmentVariableIsSet("HSSCHOOL_TEST_SECRET_SERVICE"))
        GTEST_SKIP() << "no secret service for the tests: run them with scripts/with-secret-service.sh";
    defaults.setValue(HsPasswordStore::fileKey(kAccount), QStringLiteral("kept by the file"));

    EXPECT_EQ(use.write(QStringLiteral("teacher123")), HsPasswordStore::Place::SecretStore);
    EXPECT_FALSE(HsDefaults(path).contains(HsPasswordStore::fileKey(kAccount)));
    EXPECT_EQ(use.read(), QStringLiteral("teacher123"));
    EXPECT_EQ(use.write(QStringLiteral("Spring2027")), HsPasswordStore::Place::SecretStore);
    EXPECT_EQ(use.read(), QStringLiteral("Spring2027"));

    use.remove();
    EXPECT_EQ(use.read(), std::nullopt);
}

// With no D-Bus session the store gives up on the secret store at once (well within its time
// limit) and keeps the password in the file, and a sign-in with "记住密码" ticked is remembered:
// the next start fills in the password. The session bus of the test command cannot be let go of
// inside a process, so the test runs again in a process started without one.
TEST_F(PasswordStoreTest, WithoutASessionBusThePasswordLandsInTheFileAndTheSignInIsRemembered)
{
    if (!qEnvironmentVariableIsSet(kNoSessionBusChild)) {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
        environment.insert(QStringLiteral("HSSCHOOL_TEST_SECRET_SERVICE"), QStringLiteral("1"));
        environment.insert(QString::fromLatin1(kNoSessionBusChild), QStringLiteral("1"));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=PasswordStoreTest.WithoutASessionBus*")});
        ASSERT_TRUE(child.waitForFinished(kWaitMilliseconds * 2));
        const QString output = QString::fromUtf8(child.readAll());
        EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
        return;
    }
    ASSERT_TRUE(HsPasswordStore::secretServiceName().has_value());
    store.setSecretStoreTimeout(kWaitMilliseconds);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(use.write(QStringLiteral("teacher123")), HsPasswordStore::Place::DefaultsFile);
    EXPECT_LT(clock.elapsed(), kWaitMilliseconds / 2);
    EXPECT_EQ(use.read(), QStringLiteral("teacher123"));

    EventLoopSoapServer service(
        QStringLiteral("<Result><Code>0</Code><Error></Error><StudentId>1001</StudentId><ClassId>1</ClassId>"
                       "<SchoolCode>330106001</SchoolCode><StudentName>学生1001</StudentName></Result>"));
    HsServiceConfig::setEndpoint(service.url());
    RecordingPort port;
    HsUserSession session;
    {
        HsLoginController login(port, session, defaults, dir.path());
        login.setNetworkCheck([] { return true; });
        login.viewDidLoad();
        login.cbLoginStudent()->clicked();
        login.cbRemember()->clicked();
        login.setAccount(QStringLiteral("jz1001"));
        login.setPassword(QStringLiteral("parent-secret"));
        login.pressButton(HsLoginController::SignIn);
        ASSERT_TRUE(waitUntil([&] { return !port.pushed().empty() && !login.isSigningIn(); }));
        ASSERT_TRUE(waitUntil([&] {
            return HsDefaults(path).contains(HsPasswordStore::fileKey(QStringLiteral("parent:jz1001")));
        }));
        EXPECT_EQ(HsDefaults(path).value(HsPasswordStore::fileKey(QStringLiteral("parent:jz1001"))),
                  QStringLiteral("parent-secret"));
        EXPECT_TRUE(ownerOnly(path));
    }
    HsLoginController next(port, session, defaults, dir.path());
    next.viewDidLoad();
    EXPECT_TRUE(waitUntil([&] { return next.password() == QStringLiteral("parent-secret"); }));
    EXPECT_EQ(next.account(), QStringLiteral("jz1001"));
    // The main screen's areas finish their work before the port that runs it goes.
    EXPECT_TRUE(waitUntil([&] { return port.idle(); }));
    HsTaskRunner::waitForAllTasks();
    HsPreferences::setCurrent(nullptr);
}
