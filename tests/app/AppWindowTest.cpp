#include "AppTestSupport.h"
#include "AppWindowTestSupport.h"
#include "app/HsAppDelegate.h"
#include "app/HsQuickScreenPort.h"
#include "screens/CheckButton.h"
#include "screens/EdBaseViewController.h"
#include "screens/HsLoginController.h"
#include "screens/HsSettingActivity.h"

#include <QAccessible>
#include <QPointer>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A controller whose interface file the application does not have.
class NoSuchScreen : public QObject
{
public:
    static constexpr auto interfaceFile = "NoSuchScreen";
};

// The window with the guide closed, as a screen reader or a keyboard user meets it.
class AccessibilityTest : public AppWindowTest
{
protected:
    void SetUp() override
    {
        QAccessible::setActive(true);
        AppWindowTest::SetUp();
        app.closeUserGuide();
    }
    void TearDown() override { QAccessible::setActive(false); }

    // The first visible accessible object below `node` (the window's by default), depth first,
    // with this role and name.
    QAccessibleInterface *control(QAccessible::Role role, const QString &name,
                                  QAccessibleInterface *node = nullptr) const
    {
        node = node ? node : QAccessible::queryAccessibleInterface(window);
        for (int i = 0; i < node->childCount(); ++i) {
            QAccessibleInterface *child = node->child(i);
            if (child && !child->state().invisible && child->role() == role &&
                child->text(QAccessible::Name) == name)
                return child;
            if (QAccessibleInterface *found = child ? control(role, name, child) : nullptr)
                return found;
        }
        return nullptr;
    }
    void expectControls(const std::vector<std::pair<QAccessible::Role, QString>> &wanted) const
    {
        for (const auto &[role, name] : wanted)
            EXPECT_NE(control(role, name), nullptr) << name.toStdString() << " " << role;
    }
    bool checked(QAccessible::Role role, const QString &name) const
    {
        QAccessibleInterface *node = control(role, name);
        return node != nullptr && node->state().checked;
    }

    QQuickItem *focused() const { return window->activeFocusItem(); }
    void press(Qt::Key key) { QTest::keyClick(window, key); }
    void type(const char *text)
    {
        for (const char *key = text; *key; ++key)
            QTest::keyClick(window, *key);
    }
};

} // namespace

TEST_F(AccessibilityTest, LoginControlsHaveTheirRolesNamesAndStates)
{
    expectControls({{QAccessible::EditableText, "邮箱"},
                    {QAccessible::EditableText, "密码"},
                    {QAccessible::Button, "登录"},
                    {QAccessible::CheckBox, "自动登录"},
                    {QAccessible::Button, "忘记密码？"},
                    {QAccessible::Button, "使用帮助"}});
    HsLoginController &login = *app.loginController();
    const auto radio = [&](const char *name) { return checked(QAccessible::RadioButton, name); };
    EXPECT_FALSE(radio("教师"));
    EXPECT_TRUE(radio("家长"));

    // A tap on a radio button, then a change made by the controller: both show in the tree, so
    // the tap did not cut the control off from its object.
    const auto tap = [&](QAccessible::Role role, const QString &name) {
        auto *item = qobject_cast<QQuickItem *>(control(role, name)->object());
        QTest::mouseClick(window, Qt::LeftButton, {},
                          item->mapToScene(QPointF(20, item->height() / 2)).toPoint());
    };
    tap(QAccessible::RadioButton, "教师");
    EXPECT_TRUE(login.cbLoginTeacher()->isChecked());
    EXPECT_TRUE(radio("教师"));
    EXPECT_FALSE(radio("家长"));
    login.cbLoginStudent()->clicked();
    EXPECT_FALSE(radio("教师"));
    EXPECT_TRUE(radio("家长"));

    tap(QAccessible::CheckBox, "记住密码");
    EXPECT_TRUE(login.cbRemember()->isChecked());
    EXPECT_TRUE(checked(QAccessible::CheckBox, "记住密码"));
}

TEST_F(AccessibilityTest, SettingsRowsAndTheBackButtonAreNamed)
{
    auto *settings = new HsSettingActivity(app.port(), app.session(), app.defaults());
    app.port().push(settings);
    ASSERT_TRUE(waitUntil([&] { return settledAt(2); }));
    // The list makes its rows when it is laid out for the next frame.
    ASSERT_TRUE(waitUntil([&] { return control(QAccessible::ListItem, "个人信息") != nullptr; }));

    expectControls({{QAccessible::Button, "返回"},
                    {QAccessible::ListItem, "修改密码"},
                    {QAccessible::ListItem, "关于我们"},
                    {QAccessible::ListItem, "联系方式"},
                    {QAccessible::ListItem, "版本信息"},
                    {QAccessible::ListItem, "意见反馈"},
                    {QAccessible::ListItem, "重新登陆"}});
    // The login screen below is covered: its controls are not offered any more.
    EXPECT_EQ(control(QAccessible::Button, "登录"), nullptr);
}

TEST_F(AccessibilityTest, TheLoginFormWorksFromTheKeyboard)
{
    HsLoginController &login = *app.loginController();
    QAccessibleInterface *accountNode = control(QAccessible::EditableText, "邮箱");
    ASSERT_NE(accountNode, nullptr);
    auto *account = qobject_cast<QQuickItem *>(accountNode->object());
    account->forceActiveFocus(Qt::TabFocusReason);

    type("parent@example.cn");
    press(Qt::Key_Tab);
    type("secret");
    EXPECT_EQ(login.account(), QStringLiteral("parent@example.cn"));
    EXPECT_EQ(login.password(), QStringLiteral("secret"));

    press(Qt::Key_Tab);
    ASSERT_NE(focused(), nullptr);
    EXPECT_EQ(focused()->property("text").toString(), QStringLiteral("登  录"));

    // The next stop is the remember check box; Space flips it by the check box's own rule.
    press(Qt::Key_Tab);
    const bool remembered = login.cbRemember()->isChecked();
    press(Qt::Key_Space);
    EXPECT_NE(login.cbRemember()->isChecked(), remembered);

    // Return in the password field signs in: with the password emptied it asks for one.
    login.setNetworkCheck([] { return true; });
    login.setPassword({});
    account->forceActiveFocus(Qt::TabFocusReason);
    press(Qt::Key_Tab);
    press(Qt::Key_Return);
    auto *toast = static_cast<HsQuickScreenPort &>(app.port()).toast();
    EXPECT_TRUE(waitUntil([&] { return toast->text() == QStringLiteral("请输入密码！"); }));
}

TEST_F(AppWindowTest, OpensAPortraitWindowWithTheLoginScreenUnderTheGuide)
{
    EXPECT_EQ(window->size(), QSize(320, 568));
    EXPECT_EQ(window->minimumSize(), QSize(320, 480));
    EXPECT_EQ(navigation->property("depth").toInt(), 1);
    auto *guide = window->findChild<QQuickItem *>(QStringLiteral("guide"));
    ASSERT_NE(guide, nullptr);
    EXPECT_TRUE(guide->isVisible());

    LogCapture log;
    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(160, 300));
    ASSERT_TRUE(waitUntil([&] { return log.contains("guide page clicked:"); }));
    EXPECT_TRUE(guide->isVisible());
    app.guideDidSelectPageAtIndex(3);
    EXPECT_FALSE(guide->isVisible());
}

TEST_F(AppWindowTest, PushedControllersLiveExactlyAsLongAsTheirScreensDownToTheLoginScreen)
{
    const auto push = [&](auto *controller, int depth) {
        app.port().push(controller);
        EXPECT_TRUE(waitUntil([&] { return settledAt(depth); }));
        return QPointer<QObject>(controller);
    };
    // The back button and Escape both pop the top screen with its controller.
    for (const bool escape : {false, true}) {
        auto *help = new EdHelpViewController(app.port());
        const QPointer<QObject> alive = push(help, 2);
        EXPECT_NE(help->parent(), nullptr);
        if (escape)
            QTest::keyClick(window, Qt::Key_Escape);
        else
            help->homeButtonClicked(EdBaseViewController::HomeButton);
        ASSERT_TRUE(waitUntil([&] { return settledAt(1) && alive.isNull(); }));
    }
    auto *unknown = new NoSuchScreen;
    const QPointer<QObject> orphan = unknown;
    app.port().push(unknown);
    EXPECT_TRUE(waitUntil([&] { return orphan.isNull(); }));

    const QPointer<QObject> help = push(new EdHelpViewController(app.port()), 2);
    const QPointer<QObject> getPass = push(new EdGetPassViewController(app.port()), 3);
    app.port().popToRoot();
    EXPECT_TRUE(waitUntil([&] { return settledAt(1) && help.isNull() && getPass.isNull(); }));
    // Neither a pop nor Escape leaves the login screen: a screen pushed after them lies on it.
    app.port().pop();
    QTest::keyClick(window, Qt::Key_Escape);
    push(new EdHelpViewController(app.port()), 2);
}
