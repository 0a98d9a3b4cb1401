#include "AppTestSupport.h"
#include "app/HsAppDelegate.h"
#include "screens/EdBaseViewController.h"

#include <QPointer>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The application with its real QML window, on the offscreen platform.
class AppWindowTest : public testing::Test
{
protected:
    void SetUp() override
    {
        app.didFinishLaunchingWithOptions();
        ASSERT_NE(app.window(), nullptr);
        navigation = app.window()->findChild<QObject *>(QStringLiteral("navigation"));
        ASSERT_NE(navigation, nullptr);
    }

    int depth() const { return navigation->property("depth").toInt(); }
    bool settledAt(int wanted) const { return depth() == wanted && !navigation->property("busy").toBool(); }

    QTemporaryDir dir;
    HsAppDelegate app{dir.path()};
    QObject *navigation = nullptr;
};

} // namespace

TEST_F(AppWindowTest, OpensAPortraitWindowWithTheLoginScreenUnderTheGuide)
{
    QQuickWindow *window = app.window();
    EXPECT_EQ(window->size(), QSize(320, 568));
    EXPECT_EQ(window->minimumSize(), QSize(320, 480));
    EXPECT_EQ(depth(), 1);
    auto *guide = window->findChild<QQuickItem *>(QStringLiteral("guide"));
    ASSERT_NE(guide, nullptr);
    EXPECT_TRUE(guide->isVisible());

    LogCapture log;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window, kWaitMilliseconds));
    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(160, 300));
    ASSERT_TRUE(waitUntil([&] { return log.contains("guide page clicked:"); }));
    EXPECT_TRUE(guide->isVisible());

    app.guideDidSelectPageAtIndex(3);
    EXPECT_FALSE(guide->isVisible());
}

TEST_F(AppWindowTest, PushedControllersLiveExactlyAsLongAsTheirScreensDownToTheLoginScreen)
{
    QPointer<EdBaseViewController> help = new EdHelpViewController(app.port());
    app.port().push(QStringLiteral("EdHelpViewController"), help);
    ASSERT_TRUE(waitUntil([&] { return settledAt(2); }));
    ASSERT_FALSE(help.isNull());
    EXPECT_NE(help->parent(), nullptr);

    help->homeButtonClicked(EdBaseViewController::homeButtonTag);
    ASSERT_TRUE(waitUntil([&] { return settledAt(1) && help.isNull(); }));

    QPointer<QObject> orphan = new QObject;
    app.port().push(QStringLiteral("NoSuchScreen"), orphan);
    EXPECT_TRUE(waitUntil([&] { return orphan.isNull(); }));
    EXPECT_EQ(depth(), 1);

    // Pop to root returns to the login screen, and a pop there does nothing.
    help = new EdHelpViewController(app.port());
    QPointer<QObject> getPass = new EdGetPassViewController(app.port());
    app.port().push(QStringLiteral("EdHelpViewController"), help);
    ASSERT_TRUE(waitUntil([&] { return settledAt(2); }));
    app.port().push(QStringLiteral("EdGetPassViewController"), getPass);
    ASSERT_TRUE(waitUntil([&] { return settledAt(3); }));

    app.port().popToRoot();
    EXPECT_TRUE(waitUntil([&] { return settledAt(1) && help.isNull() && getPass.isNull(); }));
    app.port().pop();
    EXPECT_TRUE(waitUntil([&] { return settledAt(1); }));
}
