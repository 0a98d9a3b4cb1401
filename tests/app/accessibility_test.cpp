#include "AppTestSupport.h"
#include "app/HsAppDelegate.h"
#include "app/HsQuickScreenPort.h"
#include "screens/CheckButton.h"
#include "screens/EdBaseViewController.h"
#include "screens/HsLoginController.h"

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

    login.cbLoginStudent()->clicked();
    login.cbRemember()->clicked();
    EXPECT_FALSE(checked(QAccessible::RadioButton, QStringLiteral("教师")));
    EXPECT_TRUE(checked(QAccessible::RadioButton, QStringLiteral("家长")));
    EXPECT_TRUE(checked(QAccessible::CheckBox, QStringLiteral("记住密码")));
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
