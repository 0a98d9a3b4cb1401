#include "AppTestSupport.h"
#include "RecordingPort.h"
#include "ServerProcess.h"
#include "screens/HsModifyPass.h"
#include "services/LoginService.h"
#include "settings_canned_service.h"
#include "transport/HsServiceConfig.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString overlayText = QStringLiteral("overlay:修改中, 请稍候...");

class SettingsPasswordTest : public testing::Test
{
protected:
    static void SetUpTestSuite() { server = std::make_unique<ServerProcess>(); }
    static void TearDownTestSuite() { server.reset(); }

    void SetUp() override { HsServiceConfig::setEndpoint(server->endpoint()); }

    void signInAsTeacher(const std::string &account, const std::string &password)
    {
        const LoginServiceResponse answer = LoginService().LoginTeacher(account, password);
        ASSERT_TRUE(answer.answered && answer.code == 0 && answer.item) << account;
        session.setLoginItem(*answer.item);
        session.setLoginType(0);
    }

    void fill(const QString &oldPass, const QString &newPass, const QString &chkPass)
    {
        screen.setTextOldPass(oldPass);
        screen.setTextNewPass(newPass);
        screen.setTextChkPass(chkPass);
    }

    void submitAndWait()
    {
        screen.pressButton(HsModifyPass::submitTag);
        ASSERT_TRUE(waitUntil([this] { return port.overlaysFinished() == 1; }));
    }

    static bool teacherSignsInWith(const std::string &account, const std::string &password)
    {
        const LoginServiceResponse answer = LoginService().LoginTeacher(account, password);
        return answer.answered && answer.code == 0;
    }

    static std::unique_ptr<ServerProcess> server;
    QTemporaryDir dir;
    HsDefaults defaults{dir.filePath(QStringLiteral("defaults.ini"))};
    HsUserSession session;
    RecordingPort port;
    HsModifyPass screen{port, session, defaults};
};

std::unique_ptr<ServerProcess> SettingsPasswordTest::server;

} // namespace

TEST_F(SettingsPasswordTest, InputChecksStopAtTheFirstProblemAndSendNothing)
{
    struct Case
    {
        QString oldPass, newPass, chkPass, toast;
    };
    const std::vector<Case> cases{
        {"", "", "", "请输入原密码！"},          {"", "new1", "new1", "请输入原密码！"},
        {"old", "", "", "请输入新密码！"},       {"old", "", "new1", "请输入新密码！"},
        {"old", "new1", "", "请输入校验密码！"}, {"old", "abcDEF", "abcdef", "密码不一致！"},
        {"old", "new1", "new2", "密码不一致！"},
    };
    CannedService service(QStringLiteral("<Result><Code>0</Code><Error></Error></Result>"));
    HsServiceConfig::setEndpoint(service.endpoint());
    QSignalSpy keyboard(&screen, &HsModifyPass::keyboardDismissed);

    QStringList expected;
    for (const Case &c : cases) {
        fill(c.oldPass, c.newPass, c.chkPass);
        screen.pressButton(HsModifyPass::submitTag);
        expected << c.toast;
    }

    EXPECT_EQ(port.toasts(), expected);
    for (const QString &event : port.events())
        EXPECT_TRUE(event.startsWith("toast:")) << event.toStdString();
    EXPECT_EQ(keyboard.count(), 0);
    EXPECT_EQ(service.requestCount(), 0);
}

TEST_F(SettingsPasswordTest, SuccessChangesThePasswordAndTheRememberedOne)
{
    signInAsTeacher("wangfang", "teacher123");
    defaults.setValue("remember", "1");
    defaults.setValue("passWord", "teacher123");
    QSignalSpy keyboard(&screen, &HsModifyPass::keyboardDismissed);
    fill("teacher123", "Spring2027", "Spring2027");

    submitAndWait();

    EXPECT_EQ(port.events(), (QStringList{overlayText, "toast:密码修改成功！"}));
    EXPECT_EQ(keyboard.count(), 1);
    EXPECT_EQ(defaults.value("passWord"), "Spring2027");
    EXPECT_TRUE(teacherSignsInWith("wangfang", "Spring2027"));
    EXPECT_FALSE(teacherSignsInWith("wangfang", "teacher123"));
    EXPECT_EQ(screen.textOldPass(), "teacher123");
    EXPECT_EQ(screen.textNewPass(), "Spring2027");
    EXPECT_EQ(screen.textChkPass(), "Spring2027");
}

TEST_F(SettingsPasswordTest, SuccessLeavesAPasswordThatIsNotRememberedAlone)
{
    signInAsTeacher("lijianguo", "teacher123");
    defaults.setValue("remember", "0");
    defaults.setValue("passWord", "");
    fill("teacher123", "Autumn2027", "Autumn2027");

    submitAndWait();

    EXPECT_EQ(port.toasts(), QStringList{"密码修改成功！"});
    EXPECT_EQ(defaults.value("passWord"), "");
    EXPECT_TRUE(teacherSignsInWith("lijianguo", "Autumn2027"));
}

TEST_F(SettingsPasswordTest, WrongOldPasswordIsRefusedAndChangesNothing)
{
    signInAsTeacher("chenjing", "teacher123");
    defaults.setValue("remember", "1");
    defaults.setValue("passWord", "teacher123");
    fill("not-my-password", "Winter2027", "Winter2027");

    submitAndWait();

    EXPECT_EQ(port.events(), (QStringList{overlayText, "toast:密码修改失败！"}));
    EXPECT_EQ(defaults.value("passWord"), "teacher123");
    EXPECT_TRUE(teacherSignsInWith("chenjing", "teacher123"));
}

TEST_F(SettingsPasswordTest, NoAnswerIsAFailureAndKeepsTheRememberedPassword)
{
    signInAsTeacher("zhaomin", "teacher123");
    defaults.setValue("remember", "1");
    defaults.setValue("passWord", "teacher123");
    HsServiceConfig::setEndpoint(closedEndpoint());
    fill("teacher123", "Summer2027", "Summer2027");

    submitAndWait();

    EXPECT_EQ(port.toasts(), QStringList{"密码修改失败！"});
    EXPECT_EQ(defaults.value("passWord"), "teacher123");
}

TEST_F(SettingsPasswordTest, SendsTheUserNameBothPasswordsAndOneForEveryRole)
{
    LoginResultItem parent;
    parent.userName = "jz1001";
    session.setLoginItem(parent);
    session.setLoginType(1);
    CannedService service(QStringLiteral("<Result><Code>0</Code><Error></Error></Result>"));
    HsServiceConfig::setEndpoint(service.endpoint());
    fill("parent123", "Lotus 2027", "Lotus 2027");

    submitAndWait();

    EXPECT_EQ(port.toasts(), QStringList{"密码修改成功！"});
    EXPECT_EQ(service.lastArguments(),
              (QStringList{"qovel", "zantre", "jz1001", "parent123", "Lotus 2027", "1"}));
}

TEST_F(SettingsPasswordTest, BackButtonPopsAndOtherTagsDoNothing)
{
    screen.pressButton(3);
    EXPECT_TRUE(port.events().isEmpty());
    screen.pressButton(HsModifyPass::backTag);
    EXPECT_EQ(port.events(), QStringList{"pop"});
}
