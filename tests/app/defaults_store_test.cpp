#include "LogCapture.h"
#include "settings/HsDefaults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr QFileDevice::Permissions kOwnerReadWrite = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// The permission bits without the current user's, which Qt reports as well and which duplicate
// the owner's.
QFileDevice::Permissions ownerGroupOther(const QString &path)
{
    return QFile::permissions(path) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
}

} // namespace

// Texts with separators, spaces and line breaks come back unchanged in a new instance; an
// empty text is still there, an absent key is told apart.
TEST(DefaultsStore, KeepsTextsAcrossInstancesAndTellsAbsentKeys)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("settings/defaults.ini");
    const QStringList texts{"王芳", "", "  a,b;c=d@e ", "#hash", "[group]", "back\\slash", "\"quoted\"", "行一\n行二"};
    {
        HsDefaults defaults(path);
        EXPECT_FALSE(defaults.contains("key0"));
        EXPECT_EQ(defaults.value("key0"), std::nullopt);
        for (int index = 0; index < texts.size(); ++index)
            EXPECT_TRUE(defaults.setValue(QStringLiteral("key%1").arg(index), texts[index]));
    }
    HsDefaults reopened(path);
    EXPECT_TRUE(reopened.contains("key1"));
    for (int index = 0; index < texts.size(); ++index)
        EXPECT_EQ(reopened.value(QStringLiteral("key%1").arg(index)), texts[index]);
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
