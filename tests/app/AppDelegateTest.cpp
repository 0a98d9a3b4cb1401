#include "AppTestSupport.h"
#include "ScreenPortTestSupport.h"
#include "app/HsAppDelegate.h"
#include "screens/HsLoginController.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

class AppDelegateTest : public testing::Test
{
protected:
    HsAppDelegate &launch()
    {
        delegate.reset();
        delegate = std::make_unique<HsAppDelegate>(dir.path(), &port);
        EXPECT_TRUE(delegate->didFinishLaunchingWithOptions());
        return *delegate;
    }

    std::optional<QString> stored(const QString &key) const
    {
        return HsDefaults(dir.filePath(HsAppDelegate::defaultsFileName())).value(key);
    }

    QTemporaryDir dir;
    RecordingPort port;
    std::unique_ptr<HsAppDelegate> delegate;
};

const QRegularExpression
    kCanonicalUuid(QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"));

} // namespace

TEST_F(AppDelegateTest, DeviceTokenIsStoredAsGroupedHexAndKeptAcrossLaunches)
{
    launch();
    ASSERT_TRUE(waitUntil([&] { return stored("pushtoken").has_value(); }));
    const std::optional<QString> token = stored("pushtoken");
    EXPECT_TRUE(QRegularExpression("^<([0-9a-f]{8} ){7}[0-9a-f]{8}>$").match(*token).hasMatch())
        << token->toStdString();
    LogCapture log;
    launch();
    EXPECT_TRUE(waitUntil([&] { return log.contains("pushtoken: " + token->toStdString()); }));
    EXPECT_EQ(stored("pushtoken"), token);
    EXPECT_EQ(HsAppDelegate::deviceTokenDescription(QByteArray::fromHex("a0a1a2a3a4a5")), "<a0a1a2a3 a4a5>");
}

TEST_F(AppDelegateTest, TheGuideShowsUntilItsLastPageIsLeftOnceForEachVersion)
{
    HsAppDelegate &app = launch();

    EXPECT_TRUE(app.isGuideVisible());
    EXPECT_EQ(app.numberOfGuidePages(), 4);
    EXPECT_EQ(stored("currentversion"), QCoreApplication::applicationVersion());
    const QString deviceId = stored("deviceuserid").value_or(QString());
    EXPECT_TRUE(kCanonicalUuid.match(deviceId).hasMatch()) << deviceId.toStdString();
    EXPECT_FALSE(stored("firstOpen").has_value());
    ASSERT_NE(app.loginController(), nullptr);

    // The guide closes only from its last page, and stays closed once the version is stored.
    for (int page = 0; page < 3; ++page)
        app.guideDidSelectPageAtIndex(page);
    EXPECT_TRUE(app.isGuideVisible());
    EXPECT_FALSE(stored("firstOpen").has_value());

    HsDefaults(dir.filePath(HsAppDelegate::defaultsFileName())).setValue("currentversion", "0.9");
    HsAppDelegate &second = launch();
    EXPECT_TRUE(second.isGuideVisible());
    EXPECT_EQ(stored("currentversion"), QCoreApplication::applicationVersion());
    EXPECT_EQ(stored("deviceuserid"), deviceId);

    second.guideDidSelectPageAtIndex(3);
    EXPECT_FALSE(second.isGuideVisible());
    EXPECT_EQ(stored("firstOpen"), "1");

    HsDefaults(dir.filePath(HsAppDelegate::defaultsFileName())).setValue("currentversion", "0.9");
    HsAppDelegate &third = launch();
    EXPECT_FALSE(third.isGuideVisible());
    EXPECT_EQ(stored("currentversion"), "0.9");
}

TEST_F(AppDelegateTest, EveryNotificationRaisesTheBadgeByOne)
{
    HsAppDelegate &app = launch();
    app.didReceiveRemoteNotification({{"aps", QVariantMap{{"badge", 5}, {"alert", "作业已发布"}}}});
    app.didReceiveRemoteNotification({{"aps", QVariantMap{{"badge", 0}}}});
    app.didReceiveRemoteNotification({{"kind", "news"}});
    EXPECT_EQ(app.badgeNumber(), 3);
}
