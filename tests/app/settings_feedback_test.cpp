#include "AppTestSupport.h"
#include "RecordingPort.h"
#include "ServerProcess.h"
#include "screens/HsAdvice.h"
#include "services/LoginService.h"
#include "settings_canned_service.h"
#include "transport/HsServiceConfig.h"

#include <QSignalSpy>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString overlayText = QStringLiteral("overlay:提交中, 请稍候...");
const QString accepted = QStringLiteral("<Result><Code>0</Code><Error></Error></Result>");
const QString refused = QStringLiteral("<Result><Code>3</Code><Error>暂不接受反馈</Error></Result>");

class SettingsFeedbackTest : public testing::Test
{
protected:
    static void SetUpTestSuite() { server = std::make_unique<ServerProcess>(); }
    static void TearDownTestSuite() { server.reset(); }

    void SetUp() override { HsServiceConfig::setEndpoint(server->endpoint()); }

    void signInAsParent()
    {
        const LoginServiceResponse answer = LoginService().LoginStudent("jz1001", "parent123");
        ASSERT_TRUE(answer.answered && answer.code == 0 && answer.item);
        session.setLoginItem(*answer.item);
        session.setLoginType(1);
    }

    void signInAs(int32_t userId, int32_t loginType)
    {
        LoginResultItem user;
        user.userId = userId;
        session.setLoginItem(user);
        session.setLoginType(loginType);
    }

    void submitAndWait()
    {
        screen.pressButton(HsAdvice::submitTag);
        ASSERT_TRUE(waitUntil([this] { return port.overlaysFinished() == 1; }));
    }

    static std::unique_ptr<ServerProcess> server;
    HsUserSession session;
    RecordingPort port;
    HsAdvice screen{port, session};
    QSignalSpy keyboard{&screen, &HsAdvice::keyboardDismissed};
};

std::unique_ptr<ServerProcess> SettingsFeedbackTest::server;

} // namespace

TEST_F(SettingsFeedbackTest, EmptyFeedbackIsNotSent)
{
    CannedService service(accepted);
    HsServiceConfig::setEndpoint(service.endpoint());
    signInAs(5, 0);

    screen.pressButton(HsAdvice::submitTag);
    screen.setTextAdvice("");
    screen.pressButton(HsAdvice::submitTag);

    EXPECT_EQ(port.events(), (QStringList{"toast:请输入！", "toast:请输入！"}));
    EXPECT_EQ(service.requestCount(), 0);
}

TEST_F(SettingsFeedbackTest, AcceptedFeedbackReportsSuccessAndEmptiesTheText)
{
    signInAsParent();
    screen.setTextAdvice("希望能在通知里加上附件下载。");

    submitAndWait();

    EXPECT_EQ(port.events(), (QStringList{overlayText, "toast:提交成功！"}));
    EXPECT_EQ(screen.textAdvice(), "");
    EXPECT_EQ(keyboard.count(), 1);
}

TEST_F(SettingsFeedbackTest, SendsTheTextTheUserAndTheRealLoginType)
{
    CannedService service(accepted);
    HsServiceConfig::setEndpoint(service.endpoint());

    signInAs(42, 0);
    screen.setTextAdvice("老师端：作业能否定时发布？");
    submitAndWait();
    EXPECT_EQ(service.lastArguments(),
              (QStringList{"qovel", "zantre", "老师端：作业能否定时发布？", "42", "0"}));

    signInAs(7, 1);
    screen.setTextAdvice("家长端 <建议> & 意见");
    screen.pressButton(HsAdvice::submitTag);
    ASSERT_TRUE(waitUntil([this] { return port.overlaysFinished() == 2; }));
    EXPECT_EQ(service.lastArguments(), (QStringList{"qovel", "zantre", "家长端 <建议> & 意见", "7", "1"}));
    EXPECT_EQ(port.toasts(), (QStringList{"提交成功！", "提交成功！"}));
}

// A refusal and no answer at all both report failure, and the text is emptied all the same.
TEST_F(SettingsFeedbackTest, RefusedOrUnansweredFeedbackReportsFailureAndStillEmptiesTheText)
{
    CannedService refusing(refused);
    signInAs(9, 1);
    for (const std::string &endpoint : {refusing.endpoint(), closedEndpoint()}) {
        HsServiceConfig::setEndpoint(endpoint);
        screen.setTextAdvice("请增加夜间模式");
        const int finished = port.overlaysFinished();
        screen.pressButton(HsAdvice::submitTag);
        ASSERT_TRUE(waitUntil([&] { return port.overlaysFinished() == finished + 1; }));
        EXPECT_EQ(screen.textAdvice(), "");
    }
    EXPECT_EQ(port.events(), (QStringList{overlayText, "toast:提交失败！", overlayText, "toast:提交失败！"}));
    EXPECT_EQ(refusing.requestCount(), 1);
    EXPECT_EQ(keyboard.count(), 2);
}

TEST_F(SettingsFeedbackTest, BackButtonPopsAndKeepsTheText)
{
    screen.setTextAdvice("草稿");
    screen.pressButton(5);
    EXPECT_TRUE(port.events().isEmpty());
    screen.pressButton(HsAdvice::backTag);
    EXPECT_EQ(port.events(), QStringList{"pop"});
    EXPECT_EQ(screen.textAdvice(), "草稿");
}
