#include "AppTestSupport.h"
#include "cache/HsPreferences.h"
#include "settings/HsDefaults.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

struct QuitCase
{
    const char *stalledMethod;
    int storedNewsTypes;
};

class QuitTest : public testing::TestWithParam<QuitCase>
{
protected:
    // No file is no rows: a sign-in that never ended made no cache.
    static int newsTypeRows(const QString &databasePath)
    {
        sqlite3 *db = nullptr;
        sqlite3_stmt *count = nullptr;
        int rows = QFile::exists(databasePath) ? -1 : 0;
        if (rows < 0 &&
            sqlite3_open_v2(databasePath.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == 0 &&
            sqlite3_prepare_v2(db, "select count(*) from news_type", -1, &count, nullptr) == 0 &&
            sqlite3_step(count) == SQLITE_ROW)
            rows = sqlite3_column_int(count, 0);
        sqlite3_finalize(count);
        sqlite3_close(db);
        return rows;
    }
};

} // namespace

// Terminated while a call waits on a silent service (the sign-in itself, or the category refresh
// after it), the application abandons the call and exits at once instead of after the 60 s
// time-out, leaving the cache whole.
TEST_P(QuitTest, TerminatingDuringACallExitsPromptlyAndLeavesTheCacheWhole)
{
    EventLoopSoapServer service(QStringLiteral("<Result><Code>0</Code><Error></Error><TeacherId>4</TeacherId>"
                                               "<ClassId>7</ClassId><RealName>王芳</RealName></Result>"));
    service.answerMethod(
        "getNewsTypes",
        QStringLiteral("<Result><Code>0</Code><Error></Error><NewsType><TypeId>11</TypeId>"
                       "<TypeName>通知</TypeName><TypeType>0</TypeType></NewsType></Result>"));
    service.holdAnswers(EventLoopSoapServer::callsTo(GetParam().stalledMethod));

    QTemporaryDir home;
    const QString dataDirectory = QDir(home.path()).filePath(QStringLiteral("hsschool/hsschool"));
    ASSERT_TRUE(QDir().mkpath(dataDirectory));
    // The application signs in by itself at launch: it was told to remember the account.
    HsDefaults defaults(QDir(dataDirectory).filePath(QStringLiteral("defaults.ini")));
    for (const auto &[key, value] : {std::pair{"loginTeacher", "1"},
                                     {"userName", "wangfang"},
                                     {"remember", "1"},
                                     {"passWord", "teacher123"},
                                     {"autologin", "1"}})
        ASSERT_TRUE(defaults.setValue(key, value));

    QProcess app;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    app.setProcessEnvironment(environment);
    app.start(QStringLiteral(HSSCHOOL_APP_BINARY),
              {QStringLiteral("--endpoint"), QString::fromStdString(service.url())});
    ASSERT_TRUE(app.waitForStarted(kWaitMilliseconds));
    const int callsBeforeStall = GetParam().storedNewsTypes > 0 ? 2 : 0;
    ASSERT_TRUE(waitUntil([&] { return service.callCount() > callsBeforeStall; }));
    const QString database =
        QDir(dataDirectory)
            .filePath(QString::fromStdString(HsPreferences::accountFileName(true, "wangfang")));
    ASSERT_TRUE(waitUntil([&] { return newsTypeRows(database) == GetParam().storedNewsTypes; }));

    app.terminate();
    // Far below the call's time-out, so only an abandoned call passes; generous for a busy machine.
    ASSERT_TRUE(waitUntil([&] { return app.state() == QProcess::NotRunning; }, 10000));
    EXPECT_EQ(app.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(app.exitCode(), 0);

    EXPECT_EQ(newsTypeRows(database), GetParam().storedNewsTypes);
}

INSTANTIATE_TEST_SUITE_P(Calls, QuitTest,
                         testing::Values(QuitCase{"loginTeacher", 0}, QuitCase{"getResourceTypes", 1}));
