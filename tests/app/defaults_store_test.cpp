#include "LogCapture.h"
#include "settings/HsDefaults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr QFileDevice::Permissions kOwnerReadWrite = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// Only the permission bits for the owner, the group and the others; Qt also reports the
// current user's bits, which duplicate the owner's.
QFileDevice::Permissions ownerGroupOther(const QString &path)
{
    const QFileDevice::Permissions mask =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
        QFileDevice::WriteGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::WriteOther |
        QFileDevice::ExeOther;
    return QFile::permissions(path) & mask;
}

} // namespace

TEST(DefaultsStore, KeepsTextsAcrossInstancesAndTellsAbsentKeys)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("settings/defaults.ini");
    {
        HsDefaults defaults(path);
        EXPECT_FALSE(defaults.contains("userName"));
        EXPECT_EQ(defaults.value("userName"), std::nullopt);
        defaults.setValue("userName", QStringLiteral("王芳"));
        defaults.setValue("remember", "");
    }
    HsDefaults reopened(path);
    EXPECT_EQ(reopened.value("userName"), QStringLiteral("王芳"));
    EXPECT_TRUE(reopened.contains("remember"));
    EXPECT_EQ(reopened.value("remember"), QString());
}

TEST(DefaultsStore, FileHoldingAPasswordIsReadableByItsOwnerOnly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("defaults.ini");
    HsDefaults defaults(path);
    EXPECT_EQ(ownerGroupOther(path), kOwnerReadWrite);
    defaults.setValue("passWord", "secret-1");
    EXPECT_EQ(ownerGroupOther(path), kOwnerReadWrite);
    defaults.setValue("passWord", "secret-2");
    EXPECT_EQ(ownerGroupOther(path), kOwnerReadWrite);
}

TEST(DefaultsStore, TextsWithSeparatorsAndSpacesComeBackUnchanged)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("defaults.ini");
    const QStringList texts{"  a,b;c=d@e ", "#hash", "[group]", "back\\slash", "\"quoted\"", "行一\n行二"};
    {
        HsDefaults defaults(path);
        for (int index = 0; index < texts.size(); ++index)
            EXPECT_TRUE(defaults.setValue(QStringLiteral("key%1").arg(index), texts[index]));
    }
    HsDefaults reopened(path);
    for (int index = 0; index < texts.size(); ++index)
        EXPECT_EQ(reopened.value(QStringLiteral("key%1").arg(index)), texts[index]);
}

TEST(DefaultsStore, FailedWriteIsReportedAndLogged)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("defaults.ini");
    ASSERT_TRUE(QDir().mkdir(path));
    LogCapture log;

    HsDefaults defaults(path);
    EXPECT_FALSE(defaults.setValue("remember", "1"));
    const std::vector<std::string> lines = log.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("could not be written"), std::string::npos);
}
