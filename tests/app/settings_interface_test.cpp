#include "AppTestSupport.h"
#include "RecordingPort.h"
#include "screens/HsAboutUs.h"
#include "screens/HsAdvice.h"
#include "screens/HsModifyPass.h"
#include "screens/HsSettingActivity.h"
#include "screens/HsUserInfo.h"

#include <QTemporaryDir>

namespace {

// One settings screen shown through its interface file.
class SettingsInterfaceTest : public testing::Test
{
protected:
    QQuickItem *find(const char *objectName) const { return host.find(QString::fromLatin1(objectName)); }

    QTemporaryDir dir;
    HsDefaults defaults{dir.filePath(QStringLiteral("defaults.ini"))};
    HsUserSession session;
    RecordingPort port;
    ScreenHost host;
};

} // namespace

TEST_F(SettingsInterfaceTest, SettingsRowsOpenTheirScreens)
{
    HsSettingActivity settings(port, session, defaults);
    host.show("HsSettingActivity", &settings);

    for (int row : {0, 4, 6})
        host.tap(host.cell("tableSetting", row, true));

    EXPECT_EQ(port.events(), (QStringList{"push:HsUserInfo", "push:HsAboutUs", "popToRoot"}));
}

TEST_F(SettingsInterfaceTest, ProfileShowsSevenCaptionedRowsAndGoesBack)
{
    LoginResultItem user;
    user.realName = "王芳";
    user.className = "三年级（1）班";
    session.setLoginItem(user);
    HsUserInfo profile(port, session);
    host.show("HsUserInfo", &profile);

    EXPECT_EQ(find("tableUser")->property("count").toInt(), 7);
    // The first row's school is empty, yet its caption says what the row is.
    QQuickItem *caption = find("caption");
    QQuickItem *value = find("value");
    ASSERT_NE(caption, nullptr);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(caption->property("text").toString(), "学校");
    EXPECT_EQ(value->property("text").toString(), "");
    EXPECT_GE(value->x(), caption->x() + caption->width());
    EXPECT_GT(caption->property("contentWidth").toReal(), 0);
    host.tap(find("back"));
    EXPECT_EQ(port.events(), QStringList{"pop"});
}

TEST_F(SettingsInterfaceTest, PasswordFieldsReachTheChecks)
{
    HsModifyPass change(port, session, defaults);
    host.show("HsModifyPass", &change);

    host.type("textOldPass", "old-secret");
    host.type("textNewPass", "Abc123");
    host.type("textChkPass", "abc123");
    host.tap(find("submit"));

    EXPECT_EQ(change.textOldPass(), "old-secret");
    EXPECT_EQ(change.textNewPass(), "Abc123");
    EXPECT_EQ(port.toasts(), QStringList{"密码不一致！"});
    host.tap(find("back"));
    EXPECT_EQ(port.events().last(), "pop");
}

TEST_F(SettingsInterfaceTest, FeedbackTextFollowsTheController)
{
    HsAdvice advice(port, session);
    host.show("HsAdvice", &advice);

    host.tap(find("submit"));
    EXPECT_EQ(port.toasts(), QStringList{"请输入！"});

    host.type("textAdvice", "good");
    EXPECT_EQ(advice.textAdvice(), "good");
    advice.setTextAdvice(QString());
    EXPECT_EQ(find("textAdvice")->property("text").toString(), "");
}

TEST_F(SettingsInterfaceTest, AboutShowsTheTextOfItsType)
{
    HsAboutUs about(port, HsAboutUs::contactType);
    host.show("HsAboutUs", &about);

    EXPECT_TRUE(find("textAbout")->property("text").toString().startsWith("服务热线"));
}
