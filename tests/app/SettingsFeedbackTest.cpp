#include "AppTestSupport.h"
#include "ScreenPortTestSupport.h"
#include "screens/HsAdvice.h"
#include "transport/HsServiceConfig.h"

#include <QSignalSpy>

namespace {

const QString overlayText = QStringLiteral("overlay:提交中, 请稍候...");

// Feedback is accepted only through its own operation; any other call is refused.
class SettingsFeedbackTest : public testing::Test
{
protected:
    SettingsFeedbackTest()
    {
        service.answerMethod("createFeedback", kEmptyAnswer);
        HsServiceConfig::setEndpoint(service.url());
    }

    void submit(int32_t userId, int32_t loginType, const QString &text)
    {
        session.setLoginItem(LoginResultItem{.userId = userId});
        session.setLoginType(loginType);
        screen.setTextAdvice(text);
        const int finished = port.overlaysFinished();
        screen.pressButton(HsAdvice::Submit);
        ASSERT_TRUE(waitUntil([&] { return port.overlaysFinished() == finished + 1; }));
    }

    EventLoopSoapServer service{kRefusal};
    HsUserSession session;
    RecordingPort port;
    HsAdvice screen{port, session};
    QSignalSpy keyboard{&screen, &HsAdvice::keyboardDismissed};
};

} // namespace

TEST_F(SettingsFeedbackTest, EmptyFeedbackIsNotSentAndBackKeepsTheText)
{
    screen.pressButton(HsAdvice::Submit);
    EXPECT_EQ(port.events(), QStringList{"toast:请输入！"});
    screen.setTextAdvice("草稿");
    screen.pressButton(5);
    screen.pressButton(HsAdvice::Back);
    EXPECT_EQ(port.events().mid(1), QStringList{"pop"});
    EXPECT_EQ(screen.textAdvice(), "草稿");
    EXPECT_EQ(service.callCount(), 0);
}

TEST_F(SettingsFeedbackTest, SendsTheTextTheUserAndTheRealLoginTypeAndEmptiesTheText)
{
    submit(42, 0, "老师端：作业能否定时发布？");
    EXPECT_EQ(service.lastCall().arguments,
              (std::vector<std::string>{"qovel", "zantre", "老师端：作业能否定时发布？", "42", "0"}));
    submit(7, 1, "家长端 <建议> & 意见");
    EXPECT_EQ(service.lastCall().arguments,
              (std::vector<std::string>{"qovel", "zantre", "家长端 <建议> & 意见", "7", "1"}));
    EXPECT_EQ(port.events(), (QStringList{overlayText, "toast:提交成功！", overlayText, "toast:提交成功！"}));
    EXPECT_EQ(screen.textAdvice(), "");
    EXPECT_EQ(keyboard.count(), 2);
}

TEST_F(SettingsFeedbackTest, RefusedOrUnansweredFeedbackReportsFailureAndStillEmptiesTheText)
{
    EventLoopSoapServer refusing(kRefusal);
    const ClosedPort closed;
    for (const std::string &endpoint : {refusing.url(), closed.url()}) {
        HsServiceConfig::setEndpoint(endpoint);
        submit(9, 1, "请增加夜间模式");
        EXPECT_EQ(screen.textAdvice(), "");
    }
    EXPECT_EQ(port.events(), (QStringList{overlayText, "toast:提交失败！", overlayText, "toast:提交失败！"}));
    EXPECT_EQ(refusing.callCount(), 1);
    EXPECT_EQ(keyboard.count(), 2);
}
