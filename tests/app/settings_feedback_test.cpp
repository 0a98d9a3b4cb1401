#include "AppTestSupport.h"
#include "RecordingPort.h"
#include "screens/HsAdvice.h"
#include "settings_canned_service.h"

#include <QSignalSpy>

namespace {

const QString overlayText = QStringLiteral("overlay:提交中, 请稍候...");

// Feedback is accepted only through its own operation; any other call is refused.
class SettingsFeedbackTest : public testing::Test
{
protected:
    SettingsFeedbackTest()
    {
        service.answerMethod(QStringLiteral("createFeedback"),
                             QStringLiteral("<Result><Code>0</Code><Error></Error></Result>"));
        HsServiceConfig::setEndpoint(service.endpoint());
    }

    void signInAs(int32_t userId, int32_t loginType)
    {
        LoginResultItem user;
        user.userId = userId;
        session.setLoginItem(user);
        session.setLoginType(loginType);
    }

    void submit(const QString &text)
    {
        screen.setTextAdvice(text);
        const int finished = port.overlaysFinished();
        screen.pressButton(HsAdvice::submitTag);
        ASSERT_TRUE(waitUntil([&] { return port.overlaysFinished() == finished + 1; }));
    }

    CannedService service{QStringLiteral("<Result><Code>3</Code><Error>暂不接受反馈</Error></Result>")};
    HsUserSession session;
    RecordingPort port;
    HsAdvice screen{port, session};
    QSignalSpy keyboard{&screen, &HsAdvice::keyboardDismissed};
};

} // namespace

TEST_F(SettingsFeedbackTest, EmptyFeedbackIsNotSentAndBackKeepsTheText)
{
    signInAs(5, 0);

    screen.pressButton(HsAdvice::submitTag);
    screen.setTextAdvice("");
    screen.pressButton(HsAdvice::submitTag);
    EXPECT_EQ(port.events(), (QStringList{"toast:请输入！", "toast:请输入！"}));
    EXPECT_EQ(service.requestCount(), 0);

    screen.setTextAdvice("草稿");
    screen.pressButton(5);
    screen.pressButton(HsAdvice::backTag);
    EXPECT_EQ(port.events().mid(2), QStringList{"pop"});
    EXPECT_EQ(screen.textAdvice(), "草稿");
}

TEST_F(SettingsFeedbackTest, SendsTheTextTheUserAndTheRealLoginTypeAndEmptiesTheText)
{
    signInAs(42, 0);
    submit("老师端：作业能否定时发布？");
    EXPECT_EQ(service.lastArguments(),
              (QStringList{"qovel", "zantre", "老师端：作业能否定时发布？", "42", "0"}));
    EXPECT_EQ(port.events(), (QStringList{overlayText, "toast:提交成功！"}));
    EXPECT_EQ(screen.textAdvice(), "");
    EXPECT_EQ(keyboard.count(), 1);

    signInAs(7, 1);
    submit("家长端 <建议> & 意见");
    EXPECT_EQ(service.lastArguments(), (QStringList{"qovel", "zantre", "家长端 <建议> & 意见", "7", "1"}));
    EXPECT_EQ(port.toasts(), (QStringList{"提交成功！", "提交成功！"}));
}

// A refusal and no answer at all both report failure, and the text is emptied all the same.
TEST_F(SettingsFeedbackTest, RefusedOrUnansweredFeedbackReportsFailureAndStillEmptiesTheText)
{
    CannedService refusing(QStringLiteral("<Result><Code>3</Code><Error>暂不接受反馈</Error></Result>"));
    signInAs(9, 1);
    for (const std::string &endpoint : {refusing.endpoint(), closedEndpoint()}) {
        HsServiceConfig::setEndpoint(endpoint);
        submit("请增加夜间模式");
        EXPECT_EQ(screen.textAdvice(), "");
    }
    EXPECT_EQ(port.events(), (QStringList{overlayText, "toast:提交失败！", overlayText, "toast:提交失败！"}));
    EXPECT_EQ(refusing.requestCount(), 1);
    EXPECT_EQ(keyboard.count(), 2);
}
