#include "AppTestSupport.h"
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

struct AccessibleControl
{
    QAccessible::Role role;
    QString name;
};

// The application window with the guide closed, as a screen reader or a keyboard user meets it.
class AccessibilityTest : public testing::Test
{
protected:
    void SetUp() override
    {
        QAccessible::setActive(true);
        app.didFinishLaunchingWithOptions();
        app.closeUserGuide();
        window = app.window();
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window, kWaitMilliseconds));
        navigation = window->findChild<QObject *>(QStringLiteral("navigation"));
        ASSERT_NE(navigation, nullptr);
    }
    void TearDown() override { QAccessible::setActive(false); }

    // Every accessible object below the window's, depth first, in screen order.
    static void collect(QAccessibleInterface *node, std::vector<QAccessibleInterface *> &found)
    {
        for (int i = 0; i < node->childCount(); ++i) {
            if (QAccessibleInterface *child = node->child(i)) {
                found.push_back(child);
                collect(child, found);
            }
        }
    }
    std::vector<QAccessibleInterface *> visibleControls() const
    {
        std::vector<QAccessibleInterface *> found;
        collect(QAccessible::queryAccessibleInterface(window), found);
        std::erase_if(found, [](QAccessibleInterface *node) { return node->state().invisible; });
        return found;
    }
    QAccessibleInterface *control(QAccessible::Role role, const QString &name) const
    {
        for (QAccessibleInterface *node : visibleControls()) {
            if (node->role() == role && node->text(QAccessible::Name) == name)
                return node;
        }
        return nullptr;
    }
    void expectControls(const std::vector<AccessibleControl> &wanted) const
    {
        std::string seen;
        for (QAccessibleInterface *node : visibleControls())
            seen += " " + std::to_string(node->role()) + ":" + node->text(QAccessible::Name).toStdString();
        for (const AccessibleControl &item : wanted)
            EXPECT_NE(control(item.role, item.name), nullptr)
                << "no control " << item.name.toStdString() << " with role " << item.role << "; seen" << seen;
    }

    bool settledAt(int depth) const
    {
        return navigation->property("depth").toInt() == depth && !navigation->property("busy").toBool();
    }
    QQuickItem *focused() const { return window->activeFocusItem(); }
    void press(Qt::Key key) { QTest::keyClick(window, key); }
    void type(const char *text)
    {
        for (const char *key = text; *key; ++key)
            QTest::keyClick(window, *key);
    }

    QTemporaryDir dir;
    HsAppDelegate app{dir.path()};
    QQuickWindow *window = nullptr;
    QObject *navigation = nullptr;
};

} // namespace

TEST_F(AccessibilityTest, LoginControlsHaveTheirRolesNamesAndStates)
{
    expectControls({{QAccessible::RadioButton, QStringLiteral("教师")},
                    {QAccessible::RadioButton, QStringLiteral("家长")},
                    {QAccessible::EditableText, QStringLiteral("邮箱")},
                    {QAccessible::EditableText, QStringLiteral("密码")},
                    {QAccessible::Button, QStringLiteral("登录")},
                    {QAccessible::CheckBox, QStringLiteral("记住密码")},
                    {QAccessible::CheckBox, QStringLiteral("自动登录")},
                    {QAccessible::Button, QStringLiteral("忘记密码？")},
                    {QAccessible::Button, QStringLiteral("使用帮助")}});

    HsLoginController &login = *app.loginController();
    const auto checked = [&](QAccessible::Role role, const QString &name) {
        QAccessibleInterface *node = control(role, name);
        return node != nullptr && node->state().checked;
    };
    EXPECT_EQ(checked(QAccessible::RadioButton, QStringLiteral("教师")), login.cbLoginTeacher()->isChecked());
    EXPECT_EQ(checked(QAccessible::RadioButton, QStringLiteral("家长")), login.cbLoginStudent()->isChecked());

    // A tap on a radio button, then a change made by the controller: both show in the tree, so
    // the tap did not cut the control off from its object.
    const auto tap = [&](QAccessible::Role role, const QString &name) {
        auto *item = qobject_cast<QQuickItem *>(control(role, name)->object());
        QTest::mouseClick(window, Qt::LeftButton, {},
                          item->mapToScene(QPointF(20, item->height() / 2)).toPoint());
    };
    tap(QAccessible::RadioButton, QStringLiteral("家长"));
    EXPECT_TRUE(login.cbLoginStudent()->isChecked());
    EXPECT_FALSE(checked(QAccessible::RadioButton, QStringLiteral("教师")));
    EXPECT_TRUE(checked(QAccessible::RadioButton, QStringLiteral("家长")));
    login.cbLoginTeacher()->clicked();
    EXPECT_TRUE(checked(QAccessible::RadioButton, QStringLiteral("教师")));
    EXPECT_FALSE(checked(QAccessible::RadioButton, QStringLiteral("家长")));

    const bool remembered = login.cbRemember()->isChecked();
    tap(QAccessible::CheckBox, QStringLiteral("记住密码"));
    EXPECT_NE(login.cbRemember()->isChecked(), remembered);
    EXPECT_EQ(checked(QAccessible::CheckBox, QStringLiteral("记住密码")), !remembered);
}

TEST_F(AccessibilityTest, SettingsRowsAndTheBackButtonAreNamed)
{
    auto *settings = new HsSettingActivity(app.port(), app.session(), app.defaults());
    app.port().push(QStringLiteral("HsSettingActivity"), settings);
    ASSERT_TRUE(waitUntil([&] { return settledAt(2); }));
    // The list makes its rows when it is laid out for the next frame.
    ASSERT_TRUE(
        waitUntil([&] { return control(QAccessible::ListItem, QStringLiteral("个人信息")) != nullptr; }));

    std::vector<AccessibleControl> wanted{{QAccessible::Button, QStringLiteral("返回")}};
    for (const char *row : {"修改密码", "关于我们", "联系方式", "版本信息", "意见反馈", "重新登陆"})
        wanted.push_back({QAccessible::ListItem, QString::fromUtf8(row)});
    expectControls(wanted);
    // The login screen below is covered: its controls are not offered any more.
    EXPECT_EQ(control(QAccessible::Button, QStringLiteral("登录")), nullptr);
}

TEST_F(AccessibilityTest, TheLoginFormWorksFromTheKeyboard)
{
    HsLoginController &login = *app.loginController();
    QQuickItem *account = nullptr;
    for (QAccessibleInterface *node : visibleControls()) {
        if (node->text(QAccessible::Name) == QStringLiteral("邮箱"))
            account = qobject_cast<QQuickItem *>(node->object());
    }
    ASSERT_NE(account, nullptr);
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

TEST_F(AccessibilityTest, EscapePopsTheTopScreenButNeverTheLoginScreen)
{
    QPointer<EdBaseViewController> help = new EdHelpViewController(app.port());
    app.port().push(QStringLiteral("EdHelpViewController"), help);
    ASSERT_TRUE(waitUntil([&] { return settledAt(2); }));

    press(Qt::Key_Escape);
    EXPECT_TRUE(waitUntil([&] { return settledAt(1) && help.isNull(); }));
    press(Qt::Key_Escape);
    QTest::qWait(100);
    EXPECT_TRUE(settledAt(1));
}
