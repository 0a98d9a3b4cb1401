#include "AppTestSupport.h"
#include "LogCapture.h"
#include "ScreenPortTestSupport.h"
#include "screens/HsLoginController.h"
#include "settings/HsDefaults.h"
#include "settings/HsPasswordStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// What the login screen stores comes back as typed on its next start, from a file only its owner
// may read because it may hold the password (where no secret store keeps it), and so does what an
// earlier version stored. A file that cannot be written is reported at each write, and the next
// start finds nothing.
TEST(DefaultsStore, StoredChoicesComeBackAsTypedFromAFileOnlyItsOwnerReads)
{
    const QString account = QStringLiteral(" 王芳,=;@");
    const QString password = QStringLiteral("  a,b;c=d@e ");
    HsLoginController::DefaultsList remembered =
        HsLoginController::signInDefaults(true, account, true, false);
    remembered.append({HsPasswordStore::fileKey(QStringLiteral("teacher:") + account), password});
    const struct
    {
        HsLoginController::DefaultsList stored;
        bool writable;
        QString account, password;
        bool rememberTicked;
    } cases[] = {
        {remembered, true, account, password, true},
        // An earlier version kept the password under "passWord".
        {{{"loginTeacher", "1"}, {"userName", account}, {"remember", "1"}, {"passWord", password}},
         true,
         account,
         password,
         true},
        // "remember" other than "1" ticks the box but leaves the password out.
        {{{"userName", "wangfang"}, {"remember", "2"}, {"passWord", "teacher123"}},
         true,
         "wangfang",
         "",
         true},
        {remembered, false, "", "", false},
    };
    for (const auto &c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath("defaults.ini");
        if (!c.writable) {
            ASSERT_TRUE(QDir().mkdir(path));
        }
        // Qt reports the current user's bits as well, which duplicate the owner's.
        const auto ownerOnly = [&] {
            return (QFile::permissions(path) &
                    ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser)) ==
                   (QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        };
        LogCapture log;
        {
            HsDefaults stored(path);
            EXPECT_TRUE(!c.writable || ownerOnly());
            for (const auto &[key, value] : c.stored)
                EXPECT_EQ(stored.setValue(key, value), c.writable) << key.toStdString();
        }
        EXPECT_TRUE(!c.writable || ownerOnly());
        EXPECT_EQ(log.lines().size(), c.writable ? 0u : static_cast<size_t>(c.stored.size()));
        for (const std::string &line : log.lines())
            EXPECT_NE(line.find("could not be written"), std::string::npos) << line;

        RecordingPort port;
        HsUserSession session;
        HsDefaults defaults(path);
        HsLoginController login(port, session, defaults, dir.path());
        login.viewDidLoad();
        EXPECT_EQ(login.account(), c.account);
        // A remembered password comes once the password store has answered.
        EXPECT_TRUE(waitUntil([&] { return login.password() == c.password; }))
            << login.password().toStdString();
        EXPECT_EQ(login.cbRemember()->isChecked(), c.rememberTicked);
        EXPECT_TRUE(port.events().isEmpty());
    }
}
