#include "AreaTestSupport.h"
#include "screens/HsLoginController.h"
#include "screens/HsModifyPass.h"

#include <QSignalSpy>

namespace {

const QString overlayText = QStringLiteral("overlay:修改中, 请稍候...");

class SettingsPasswordTest : public DemoSchoolTest
{
protected:
    // Types into the three fields, as the screen's interface file does.
    static void fillIn(HsModifyPass &form, const QString &oldPass, const QString &newPass,
                       const QString &chkPass)
    {
        form.setProperty("textOldPass", oldPass);
        form.setProperty("textNewPass", newPass);
        form.setProperty("textChkPass", chkPass);
    }

    void fill(const QString &oldPass, const QString &newPass, const QString &chkPass)
    {
        fillIn(screen, oldPass, newPass, chkPass);
    }

    // The teacher signed in as `account`, remembered with the password "teacher123" or not.
    void signInAs(const std::string &account, bool remembered)
    {
        signIn(account, true);
        session.setAccountName(account);
        const HsRememberedAccount entry{true, QString::fromStdString(account), {}};
        if (remembered) {
            HsAccountBook(defaults).remember(entry);
            bool written = false;
            login.passwordStore().write(entry.key(), QStringLiteral("teacher123"),
                                        [&](HsPasswordStore::Place) { written = true; });
            ASSERT_TRUE(waitUntil([&] { return written; }));
        }
    }

    // The password the store keeps for the teacher's account, once it has answered.
    std::optional<QString> rememberedPassword(const std::string &account)
    {
        std::optional<std::optional<QString>> stored;
        login.passwordStore().read(QStringLiteral("teacher:") + QString::fromStdString(account),
                                   [&](const std::optional<QString> &password) { stored = password; });
        EXPECT_TRUE(waitUntil([&] { return stored.has_value(); }));
        return stored.value_or(std::nullopt);
    }

    HsDefaults defaults{dir.filePath(QStringLiteral("defaults.ini"))};
    // The sign-in that keeps the remembered passwords, as the application has it.
    HsLoginController login{port, session, defaults, dir.path()};
    HsModifyPass screen{port, session};
    QSignalSpy keyboard{&screen, &HsModifyPass::keyboardDismissed};
};

} // namespace

TEST_F(SettingsPasswordTest, InputChecksStopAtTheFirstProblemThenTheUserAndBothPasswordsAreSent)
{
    const std::vector<QStringList> cases{
        {"", "", "", "请输入原密码！"},          {"", "new1", "new1", "请输入原密码！"},
        {"old", "", "", "请输入新密码！"},       {"old", "", "new1", "请输入新密码！"},
        {"old", "new1", "", "请输入校验密码！"}, {"old", "abcDEF", "abcdef", "密码不一致！"},
        {"old", "new1", "new2", "密码不一致！"},
    };
    EventLoopSoapServer service(kEmptyAnswer);
    HsServiceConfig::setEndpoint(service.url());
    for (const QStringList &c : cases) {
        fill(c[0], c[1], c[2]);
        screen.pressButton(HsModifyPass::Submit);
        EXPECT_EQ(port.events().last(), "toast:" + c[3]) << c.join('/').toStdString();
    }
    EXPECT_EQ(port.events().size(), static_cast<qsizetype>(cases.size()));
    EXPECT_EQ(keyboard.count(), 0);
    EXPECT_EQ(service.callCount(), 0);

    // One for every role, not the login type.
    session.setLoginItem(LoginResultItem{.userName = "jz1001"});
    session.setLoginType(1);
    fill("parent123", "Lotus 2027", "Lotus 2027");
    screen.pressButton(HsModifyPass::Submit);
    ASSERT_TRUE(waitForOverlays(1));
    EXPECT_EQ(port.toasts().last(), "密码修改成功！");
    EXPECT_EQ(service.lastCall().arguments,
              (std::vector<std::string>{"qovel", "zantre", "jz1001", "parent123", "Lotus 2027", "1"}));
}

// The school decides; the remembered password follows a change only when one is remembered.
TEST_F(SettingsPasswordTest, OnlyAnAcceptedChangeReplacesARememberedPassword)
{
    const struct
    {
        const char *account;
        bool remembered;
        QString oldPass, newPass;
        bool answered, changed;
    } cases[] = {
        {"wangfang", true, "teacher123", "Spring2027", true, true},
        {"lijianguo", false, "teacher123", "Autumn2027", true, true},
        {"chenjing", true, "not-my-password", "Winter2027", true, false},
        {"zhaomin", true, "teacher123", "Summer2027", false, false},
    };
    const ClosedPort closed;
    int finished = 0;
    for (const auto &c : cases) {
        HsServiceConfig::setEndpoint(server->endpoint());
        signInAs(c.account, c.remembered);
        HsServiceConfig::setEndpoint(c.answered ? server->endpoint() : closed.url());
        const qsizetype before = port.events().size();
        fill(c.oldPass, c.newPass, c.newPass);
        screen.pressButton(HsModifyPass::Submit);
        ASSERT_TRUE(waitForOverlays(++finished));

        EXPECT_EQ(port.events().mid(before),
                  (QStringList{overlayText, c.changed ? "toast:密码修改成功！" : "toast:密码修改失败！"}))
            << c.account;
        const std::optional<QString> expected = !c.remembered ? std::nullopt
                                                : c.changed   ? std::optional(c.newPass)
                                                              : QStringLiteral("teacher123");
        EXPECT_TRUE(waitUntil([&] { return rememberedPassword(c.account) == expected; })) << c.account;
        EXPECT_EQ(screen.textOldPass(), c.oldPass);
        EXPECT_EQ(screen.textNewPass(), c.newPass);
        EXPECT_EQ(screen.textChkPass(), c.newPass);
    }
    EXPECT_EQ(keyboard.count(), 4);
}

// The remembered password follows an accepted change even when the screen has closed before the
// answer came, so the next automatic sign-in still works.
TEST_F(SettingsPasswordTest, AChangeAnsweredAfterTheScreenClosedStillReplacesTheRememberedPassword)
{
    HsServiceConfig::setEndpoint(server->endpoint());
    signInAs("sunli", true);
    auto closing = std::make_unique<HsModifyPass>(port, session);
    fillIn(*closing, "teacher123", "Spring2027", "Spring2027");
    closing->pressButton(HsModifyPass::Submit);
    closing.reset();
    ASSERT_TRUE(waitForOverlays(1));
    EXPECT_EQ(port.toasts().last(), "密码修改成功！");
    EXPECT_TRUE(waitUntil([&] { return rememberedPassword("sunli") == QStringLiteral("Spring2027"); }));
}
