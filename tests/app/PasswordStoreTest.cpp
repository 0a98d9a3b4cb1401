// Where remembered passwords are kept: the desktop's secret store when the test command runs one
// (scripts/with-secret-service.sh), and the owner-only defaults file when there is no D-Bus
// session at all.

#include "AppTestSupport.h"
#include "settings/HsPasswordStore.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kAccount = QStringLiteral("teacher:wangfang");

class PasswordStoreTest : public testing::Test
{
protected:
    void TearDown() override { HsPasswordStore::setSecretServiceName(savedName); }

    // Starts one call of the store, given the function that takes its answer, and waits for it.
    template <typename Answer> Answer answerOf(const std::function<void(std::function<void(Answer)>)> &call)
    {
        std::optional<Answer> answer;
        call([&](Answer given) { answer = std::move(given); });
        EXPECT_TRUE(waitUntil([&] { return answer.has_value(); }));
        return answer.value_or(Answer{});
    }
    HsPasswordStore::Place write(const QString &password)
    {
        return answerOf<HsPasswordStore::Place>([&](auto done) { store.write(kAccount, password, done); });
    }
    std::optional<QString> read()
    {
        return answerOf<std::optional<QString>>([&](auto done) { store.read(kAccount, done); });
    }
    QString inFile() const { return HsDefaults(path).value(HsPasswordStore::fileKey(kAccount)).value_or(""); }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("defaults.ini"));
    HsDefaults defaults{path};
    HsPasswordStore store{defaults};
    std::optional<QString> savedName = HsPasswordStore::secretServiceName();
};

} // namespace

// The secret store's password wins over a copy left in the file, which its next write lets go,
// and one it forgets is gone from both.
TEST_F(PasswordStoreTest, TheSecretStoreKeepsThePasswordAndTheFileLetsItsCopyGo)
{
    if (!qEnvironmentVariableIsSet("HSSCHOOL_TEST_SECRET_SERVICE"))
        GTEST_SKIP() << "no secret service for the tests: run them with scripts/with-secret-service.sh";
    EXPECT_EQ(write(QStringLiteral("teacher123")), HsPasswordStore::Place::SecretStore);
    defaults.setValue(HsPasswordStore::fileKey(kAccount), QStringLiteral("left in the file"));
    EXPECT_EQ(read(), QStringLiteral("teacher123"));
    EXPECT_EQ(write(QStringLiteral("Spring2027")), HsPasswordStore::Place::SecretStore);
    EXPECT_EQ(inFile(), QString());
    EXPECT_EQ(read(), QStringLiteral("Spring2027"));

    answerOf<bool>([&](auto done) { store.remove(kAccount, [done] { done(true); }); });
    EXPECT_EQ(read(), std::nullopt);
}

// With no D-Bus session the store gives up on the secret store at once (well within its time
// limit) and keeps the password in the owner-only file. A process cannot let go of the test
// command's session bus, so the test runs again in a process started without one.
TEST_F(PasswordStoreTest, WithoutASessionBusThePasswordLandsInTheOwnerOnlyFile)
{
    if (!qEnvironmentVariableIsSet("HSSCHOOL_TEST_NO_SESSION_BUS")) {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
        // The child still asks for the secret store, which it cannot reach.
        environment.insert(QStringLiteral("HSSCHOOL_TEST_SECRET_SERVICE"), QStringLiteral("1"));
        environment.insert(QStringLiteral("HSSCHOOL_TEST_NO_SESSION_BUS"), QStringLiteral("1"));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=PasswordStoreTest.WithoutASessionBus*")});
        ASSERT_TRUE(child.waitForFinished(kWaitMilliseconds * 2));
        const std::string output = child.readAll().toStdString();
        EXPECT_EQ(child.exitCode(), 0) << output;
        EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
        return;
    }
    ASSERT_TRUE(HsPasswordStore::secretServiceName().has_value());
    store.setSecretStoreTimeout(kWaitMilliseconds);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(write(QStringLiteral("teacher123")), HsPasswordStore::Place::DefaultsFile);
    EXPECT_LT(clock.elapsed(), kWaitMilliseconds / 2);
    EXPECT_EQ(read(), QStringLiteral("teacher123"));
    // Qt reports the current user's bits as well, which duplicate the owner's.
    EXPECT_EQ(QFile::permissions(path) &
                  ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}
