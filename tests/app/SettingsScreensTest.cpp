#include "AppTestSupport.h"
#include "ScreenPortTestSupport.h"
#include "screens/HsAboutUs.h"
#include "screens/HsAdvice.h"
#include "screens/HsModifyPass.h"
#include "screens/HsSettingActivity.h"
#include "screens/HsUserInfo.h"

#include <QAbstractItemModelTester>
#include <QTemporaryDir>

namespace {

struct SettingsTest : testing::Test
{
    QTemporaryDir dir;
    HsDefaults defaults{dir.filePath(QStringLiteral("defaults.ini"))};
    HsUserSession session;
    RecordingPort port;
    HsSettingActivity settings{port, session, defaults};
    ScreenHost host;
};

const LoginResultItem kTeacher{.userId = 3,
                               .userName = "wangfang",
                               .realName = "王芳",
                               .className = "三年级（1）班",
                               .address = "明德路 1 号"};

} // namespace

TEST_F(SettingsTest, ThreeSectionsOfRowsEachOpeningItsScreenAndRefusingTheSelection)
{
    QAbstractItemModelTester tester(settings.tableSetting(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);

    // Rows outside the table and tags other than the back button do nothing.
    for (const auto &[section, row] : std::vector<std::pair<int, int>>{{0, 5}, {1, 1}, {3, 0}})
        settings.willSelectRow(section, row);
    settings.homeButtonClicked(1);
    EXPECT_TRUE(port.events().isEmpty());

    for (const auto &[section, row] :
         std::vector<std::pair<int, int>>{{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {1, 0}})
        EXPECT_FALSE(settings.willSelectRow(section, row));
    settings.homeButtonClicked(EdBaseViewController::HomeButton);

    EXPECT_EQ(port.events(), (QStringList{"push:HsUserInfo", "push:HsModifyPass", "push:HsAboutUs",
                                          "push:HsAboutUs", "push:HsAboutUs", "push:HsAdvice", "pop"}));
    ASSERT_EQ(port.pushed().size(), 6u);
    for (int i = 2; i <= 4; ++i)
        EXPECT_EQ(qobject_cast<HsAboutUs *>(port.pushed()[static_cast<size_t>(i)].get())->type(), i - 1);
}

TEST_F(SettingsTest, ReLoginPopsToTheLoginScreenWithoutSigningInOrForgetting)
{
    session.setLoginItem(kTeacher);
    session.setLoginType(0);
    for (const char *key : {"remember", "autologin"})
        defaults.setValue(key, "1");
    defaults.setValue("passWord", "teacher123");
    EXPECT_FALSE(settings.willSelectRow(2, 0));

    EXPECT_EQ(port.events(), QStringList{"popToRoot"});
    EXPECT_TRUE(port.pushed().empty());
    EXPECT_EQ(session.loginItem(), kTeacher);
    EXPECT_EQ(defaults.value("passWord"), "teacher123");
    EXPECT_EQ(defaults.value("autologin"), "1");
}

TEST(SettingsProfileTest, ShowsTheRecordRowByRow)
{
    const LoginResultItem parent{.userId = 17,
                                 .userName = "jz1001",
                                 .realName = "张小明",
                                 .className = "三年级（1）班",
                                 .address = "学府路 12 号",
                                 .phone = "13905710001",
                                 .motherName = "李娜",
                                 .motherWork = "银行",
                                 .fatherName = "张伟",
                                 .fatherWork = "医院"};
    const struct
    {
        std::optional<LoginResultItem> user;
        QString userName, phone;
        QStringList rows;
    } cases[] = {
        {parent,
         "jz1001",
         "13905710001",
         {"", "三年级（1）班", "学府路 12 号", "张伟", "医院", "李娜", "银行"}},
        {kTeacher, "wangfang", "", {"", "三年级（1）班", "明德路 1 号", "", "", "", ""}},
        {std::nullopt, "", "", {"", "", "", "", "", "", ""}},
    };
    for (const auto &c : cases) {
        RecordingPort port;
        HsUserSession session;
        if (c.user)
            session.setLoginItem(*c.user);
        HsUserInfo profile(port, session);
        QAbstractItemModelTester tester(profile.tableUser(),
                                        QAbstractItemModelTester::FailureReportingMode::Fatal);

        EXPECT_EQ(profile.userName(), c.userName);
        EXPECT_EQ(profile.phone(), c.phone);
        QStringList rows;
        for (int i = 0; i < profile.tableUser()->rowCount(); ++i)
            rows << profile.tableUser()->index(i, 0).data().toString();
        EXPECT_EQ(rows, c.rows) << c.userName.toStdString();
    }
}

TEST_F(SettingsTest, SettingsRowsOpenTheirScreens)
{
    host.show(&settings);

    // The rows carry their section and their place in it: the last of the first section, the one
    // of the second and the one of the third.
    for (int row : {0, 4, 5, 6})
        host.tap(host.cell("tableSetting", row, true));
    EXPECT_EQ(port.events(),
              (QStringList{"push:HsUserInfo", "push:HsAboutUs", "push:HsAdvice", "popToRoot"}));
}

TEST_F(SettingsTest, ProfileShowsSevenCaptionedRowsAndGoesBack)
{
    session.setLoginItem(LoginResultItem{.realName = "王芳", .className = "三年级（1）班"});
    HsUserInfo profile(port, session);
    host.show(&profile);

    EXPECT_EQ(host.find("tableUser")->property("count").toInt(), 7);
    // The first row's school is empty, yet its caption says what the row is.
    QQuickItem *caption = host.find("caption");
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->property("text").toString(), "学校");
    EXPECT_GT(caption->property("contentWidth").toReal(), 0);
    EXPECT_GE(host.find("value")->x(), caption->x() + caption->width());
    host.tap(host.find("back"));
    EXPECT_EQ(port.events(), QStringList{"pop"});
}

TEST_F(SettingsTest, PasswordFieldsReachTheChecks)
{
    HsModifyPass change(port, session);
    host.show(&change);

    host.type("textOldPass", "old-secret");
    host.type("textNewPass", "Abc123");
    host.type("textChkPass", "abc123");
    host.tap(host.find("submit"));

    EXPECT_EQ(change.textOldPass(), "old-secret");
    EXPECT_EQ(port.toasts(), QStringList{"密码不一致！"});
    host.tap(host.find("back"));
    EXPECT_EQ(port.events().last(), "pop");
}

TEST_F(SettingsTest, FeedbackTextFollowsTheController)
{
    HsAdvice advice(port, session);
    host.show(&advice);

    host.tap(host.find("submit"));
    EXPECT_EQ(port.toasts(), QStringList{"请输入！"});

    host.type("textAdvice", "good");
    EXPECT_EQ(advice.textAdvice(), "good");
    advice.setTextAdvice(QString());
    EXPECT_EQ(host.find("textAdvice")->property("text").toString(), "");
}
