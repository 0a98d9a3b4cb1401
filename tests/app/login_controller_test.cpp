#include "AppTestSupport.h"
#include "RecordingPort.h"
#include "ServerProcess.h"
#include "cache/HsPreferences.h"
#include "cache/NewsTypeDao.h"
#include "cache/ResourceTypeDao.h"
#include "screens/EdBaseViewController.h"
#include "screens/HsLoginController.h"
#include "screens/MainController.h"
#include "settings_canned_service.h"
#include "transport/HsAppConstants.h"
#include "transport/HsServiceConfig.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString kTeacherAccount = QStringLiteral("wangfang");
const QString kTeacherPassword = QStringLiteral("teacher123");
const QString kSigningIn = QStringLiteral("overlay:Logining, please wait...");
const QString kMainPushed = QStringLiteral("push:MainController");

// A login screen over a fresh defaults store, talking to a demo school of its own.
class LoginControllerTest : public testing::Test
{
protected:
    static void SetUpTestSuite() { server = std::make_unique<ServerProcess>(); }
    static void TearDownTestSuite() { server.reset(); }

    void SetUp() override
    {
        HsServiceConfig::setEndpoint(server->endpoint());
        HsPreferences::setCurrent(nullptr);
    }

    void TearDown() override
    {
        EXPECT_TRUE(waitUntil([this] { return port.idle(); }));
        controller.reset();
        HsPreferences::setCurrent(nullptr);
    }

    // A new launch of the login screen over the same stored defaults.
    HsLoginController &launch()
    {
        controller.reset();
        defaults = std::make_unique<HsDefaults>(dir.filePath(QStringLiteral("defaults.ini")));
        controller = std::make_unique<HsLoginController>(port, session, *defaults, dir.path());
        controller->setNetworkCheck([this] { return networkUp; });
        controller->viewDidLoad();
        return *controller;
    }

    void fillIn(const QString &account, const QString &password)
    {
        controller->setAccount(account);
        controller->setPassword(password);
    }

    bool mainScreenPushed() const { return port.events().contains(kMainPushed); }
    bool waitForMainScreen()
    {
        return waitUntil([this] { return mainScreenPushed() && !controller->isSigningIn(); });
    }
    bool waitForFailure()
    {
        return waitUntil([this] { return port.overlaysFinished() > 0 && !controller->isSigningIn(); });
    }
    bool nothingStored() const { return QFile(dir.filePath(QStringLiteral("defaults.ini"))).size() <= 0; }

    static std::unique_ptr<ServerProcess> server;
    QTemporaryDir dir;
    std::unique_ptr<HsDefaults> defaults;
    HsUserSession session;
    RecordingPort port;
    std::unique_ptr<HsLoginController> controller;
    bool networkUp = true;
};

std::unique_ptr<ServerProcess> LoginControllerTest::server;

} // namespace

TEST_F(LoginControllerTest, FirstStartChoosesParentWithBoxesUntickedAndFieldsEmpty)
{
    HsLoginController &login = launch();

    EXPECT_TRUE(login.cbLoginStudent()->isChecked());
    EXPECT_FALSE(login.cbLoginTeacher()->isChecked());
    EXPECT_FALSE(login.cbRemember()->isChecked());
    EXPECT_FALSE(login.cbAutoLogin()->isChecked());
    EXPECT_TRUE(login.account().isEmpty());
    EXPECT_TRUE(login.password().isEmpty());
    EXPECT_EQ(login.cbLoginTeacher()->icon(), "bt_unselect.png");
    EXPECT_EQ(login.cbLoginStudent()->icon(), "bt_select.png");
    EXPECT_EQ(login.cbRemember()->icon(), "cb_unselect.png");
    EXPECT_TRUE(port.events().isEmpty());
}

TEST_F(LoginControllerTest, InputChecksStopAtTheFirstFailureWithItsToast)
{
    HsLoginController &login = launch();
    fillIn(kTeacherAccount, kTeacherPassword);

    networkUp = false;
    login.pressButton(HsLoginController::signInTag);
    networkUp = true;
    fillIn(QString(), QString());
    login.pressButton(HsLoginController::signInTag);
    fillIn(kTeacherAccount, QString());
    login.pressButton(HsLoginController::signInTag);

    EXPECT_EQ(port.events(),
              (QStringList{"toast:请检查网络状态！", "toast:请输入用户名！", "toast:请输入密码！"}));
    EXPECT_TRUE(nothingStored());
}

TEST_F(LoginControllerTest, WeakPasswordsAreShortOrFiveToSeventeenDigits)
{
    EXPECT_TRUE(HsLoginController::isWeakPassword("abc123"));
    EXPECT_TRUE(HsLoginController::isWeakPassword("12345"));
    EXPECT_TRUE(HsLoginController::isWeakPassword("1234567"));
    EXPECT_TRUE(HsLoginController::isWeakPassword("12345678901234567"));
    EXPECT_TRUE(HsLoginController::isWeakPassword("密码密码密码"));
    EXPECT_FALSE(HsLoginController::isWeakPassword("123456789012345678"));
    EXPECT_FALSE(HsLoginController::isWeakPassword("123456a"));
    EXPECT_FALSE(HsLoginController::isWeakPassword("1234 567"));
    EXPECT_FALSE(HsLoginController::isWeakPassword("密码密码密码密"));
}

TEST_F(LoginControllerTest, WeakPasswordWarnsAndStillSignsIn)
{
    HsLoginController &login = launch();
    fillIn(kTeacherAccount, QStringLiteral("123456"));

    login.pressButton(HsLoginController::signInTag);
    ASSERT_TRUE(waitForFailure());

    const QStringList events = port.events();
    ASSERT_GE(events.size(), 3);
    EXPECT_EQ(events[0], "toast:您的密码过于简单，请及时修改密码！");
    EXPECT_EQ(events[1], kSigningIn);
    EXPECT_EQ(events[2], "toast:用户名或密码错误！");
}

TEST_F(LoginControllerTest, ChoicesStayConsistent)
{
    HsLoginController &login = launch();
    CheckButton &teacher = *login.cbLoginTeacher();
    CheckButton &parent = *login.cbLoginStudent();
    CheckButton &remember = *login.cbRemember();
    CheckButton &autoLogin = *login.cbAutoLogin();

    parent.clicked();
    EXPECT_TRUE(parent.isChecked());
    EXPECT_FALSE(teacher.isChecked());
    teacher.clicked();
    EXPECT_TRUE(teacher.isChecked());
    EXPECT_FALSE(parent.isChecked());
    parent.clicked();
    EXPECT_TRUE(parent.isChecked());
    EXPECT_FALSE(teacher.isChecked());

    autoLogin.clicked();
    EXPECT_TRUE(autoLogin.isChecked());
    EXPECT_TRUE(remember.isChecked());
    autoLogin.clicked();
    EXPECT_FALSE(autoLogin.isChecked());
    EXPECT_TRUE(remember.isChecked());
    autoLogin.clicked();
    remember.clicked();
    EXPECT_FALSE(remember.isChecked());
    EXPECT_FALSE(autoLogin.isChecked());
    EXPECT_EQ(remember.icon(), "cb_unselect.png");
}

TEST_F(LoginControllerTest, RefusedLoginSetsTheLoginTypeAndWritesNothing)
{
    session.setLoginType(1);
    HsLoginController &login = launch();
    login.cbLoginTeacher()->clicked();
    login.cbAutoLogin()->clicked();
    fillIn(kTeacherAccount, QStringLiteral("wrong-password"));

    login.pressButton(HsLoginController::signInTag);
    ASSERT_TRUE(waitForFailure());

    EXPECT_EQ(port.toasts(), QStringList{"用户名或密码错误！"});
    EXPECT_EQ(session.loginType(), 0);
    EXPECT_FALSE(session.loginItem().has_value());
    EXPECT_FALSE(mainScreenPushed());
    EXPECT_TRUE(nothingStored());
    EXPECT_EQ(HsPreferences::current(), nullptr);
}

TEST_F(LoginControllerTest, NoAnswerIsANetworkFailureAndStoresNothing)
{
    HsServiceConfig::setEndpoint(closedEndpoint());
    HsLoginController &login = launch();
    login.cbLoginTeacher()->clicked();
    login.cbRemember()->clicked();
    fillIn(kTeacherAccount, kTeacherPassword);

    login.pressButton(HsLoginController::signInTag);
    ASSERT_TRUE(waitForFailure());

    EXPECT_EQ(port.toasts(), QStringList{"请检查网络状态！"});
    EXPECT_FALSE(session.loginItem().has_value());
    EXPECT_FALSE(mainScreenPushed());
    EXPECT_TRUE(nothingStored());
    EXPECT_EQ(HsPreferences::current(), nullptr);
}

TEST_F(LoginControllerTest, SuccessfulLoginStoresUserCacheAndDefaultsThenPushesMainScreen)
{
    HsLoginController &login = launch();
    login.cbLoginTeacher()->clicked();
    fillIn(kTeacherAccount, kTeacherPassword);

    login.pressButton(HsLoginController::signInTag);
    ASSERT_TRUE(waitForMainScreen());

    EXPECT_TRUE(port.toasts().isEmpty());
    // The main screen starts its areas before it is pushed: the student record fetches its homework.
    EXPECT_EQ(port.events().first(), kSigningIn);
    EXPECT_EQ(port.events().last(), kMainPushed);
    EXPECT_TRUE(port.events().contains(QStringLiteral("overlay:获取学生作业, 请稍候...")));
    ASSERT_EQ(port.pushed().size(), 1u);
    EXPECT_NE(qobject_cast<MainController *>(port.pushed().front().get()), nullptr);

    ASSERT_TRUE(session.loginItem().has_value());
    EXPECT_EQ(session.loginItem()->userName, std::optional<std::string>("wangfang"));
    EXPECT_NE(session.loginItem()->classId, 0);
    EXPECT_EQ(session.loginType(), 0);

    ASSERT_NE(HsPreferences::current(), nullptr);
    EXPECT_TRUE(QFile::exists(dir.filePath(HsPreferences::databaseFileName)));
    EXPECT_FALSE(NewsTypeDao().initSelectSchools().empty());
    EXPECT_FALSE(NewsTypeDao().initSelectNews().empty());
    EXPECT_FALSE(ResourceTypeDao().initSelects().empty());

    EXPECT_EQ(defaults->value("loginTeacher"), "1");
    EXPECT_EQ(defaults->value("userName"), "wangfang");
    EXPECT_EQ(defaults->value("remember"), "0");
    EXPECT_EQ(defaults->value("passWord"), "");
    EXPECT_EQ(defaults->value("autologin"), "0");
}

TEST_F(LoginControllerTest, NextStartRestoresTheFormAndSignsInAutomatically)
{
    HsLoginController &first = launch();
    first.cbLoginTeacher()->clicked();
    first.cbAutoLogin()->clicked();
    fillIn(kTeacherAccount, kTeacherPassword);
    first.pressButton(HsLoginController::signInTag);
    ASSERT_TRUE(waitForMainScreen());
    ASSERT_EQ(defaults->value("autologin"), "1");
    ASSERT_EQ(defaults->value("passWord"), kTeacherPassword);

    RecordingPort secondPort;
    HsUserSession secondSession;
    HsDefaults reopened(dir.filePath(QStringLiteral("defaults.ini")));
    HsLoginController second(secondPort, secondSession, reopened, dir.path());
    second.setNetworkCheck([] { return false; });
    second.viewDidLoad();

    EXPECT_TRUE(second.cbLoginTeacher()->isChecked());
    EXPECT_TRUE(second.cbRemember()->isChecked());
    EXPECT_TRUE(second.cbAutoLogin()->isChecked());
    EXPECT_EQ(second.account(), kTeacherAccount);
    EXPECT_EQ(second.password(), kTeacherPassword);
    EXPECT_EQ(secondPort.events(), QStringList{kSigningIn});
    ASSERT_TRUE(waitUntil([&] { return secondPort.events().contains(kMainPushed); }));
    EXPECT_TRUE(secondPort.toasts().isEmpty());
    EXPECT_EQ(secondSession.loginItem()->userName, std::optional<std::string>("wangfang"));
    EXPECT_TRUE(waitUntil([&] { return secondPort.idle(); }));
}

TEST_F(LoginControllerTest, UntickedRememberLeavesThePasswordFieldEmptyNextTime)
{
    HsLoginController &first = launch();
    first.cbLoginTeacher()->clicked();
    fillIn(kTeacherAccount, kTeacherPassword);
    first.pressButton(HsLoginController::signInTag);
    ASSERT_TRUE(waitForMainScreen());

    HsLoginController &second = launch();

    EXPECT_EQ(second.account(), kTeacherAccount);
    EXPECT_TRUE(second.password().isEmpty());
    EXPECT_FALSE(second.cbAutoLogin()->isChecked());
    EXPECT_EQ(port.events().count(kSigningIn), 1);
}

TEST_F(LoginControllerTest, HelpAndForgottenPasswordPagesArePushed)
{
    HsLoginController &login = launch();

    login.pressButton(HsLoginController::forgottenPasswordTag);
    login.pressButton(HsLoginController::helpTag);
    login.pressButton(99);

    EXPECT_EQ(port.events(), (QStringList{"push:EdGetPassViewController", "push:EdHelpViewController"}));
    auto *help = qobject_cast<EdBaseViewController *>(port.pushed().back().get());
    ASSERT_NE(help, nullptr);
    help->homeButtonClicked(1);
    help->homeButtonClicked(EdBaseViewController::homeButtonTag);
    EXPECT_EQ(port.events().last(), "pop");
    EXPECT_EQ(port.events().count("pop"), 1);
}

TEST_F(LoginControllerTest, AcceptingAnswerWithoutAUserSignsNoOneIn)
{
    CannedService service(QStringLiteral("<Result><Code>0</Code><Error></Error></Result>"));
    HsServiceConfig::setEndpoint(service.endpoint());
    HsLoginController &login = launch();
    login.cbRemember()->clicked();
    fillIn(kTeacherAccount, kTeacherPassword);

    login.pressButton(HsLoginController::signInTag);
    ASSERT_TRUE(waitForFailure());

    EXPECT_EQ(service.requestCount(), 1);
    EXPECT_EQ(port.toasts(), QStringList{"用户名或密码错误！"});
    EXPECT_FALSE(session.loginItem().has_value());
    EXPECT_FALSE(mainScreenPushed());
    EXPECT_TRUE(nothingStored());
    EXPECT_EQ(HsPreferences::current(), nullptr);
}

TEST_F(LoginControllerTest, EmptyResultIsANetworkFailure)
{
    // The service answers with an empty result element.
    CannedService service{QString()};
    HsServiceConfig::setEndpoint(service.endpoint());
    HsLoginController &login = launch();
    fillIn(kTeacherAccount, kTeacherPassword);

    login.pressButton(HsLoginController::signInTag);
    ASSERT_TRUE(waitForFailure());

    EXPECT_EQ(service.requestCount(), 1);
    EXPECT_EQ(port.toasts(), QStringList{"请检查网络状态！"});
    EXPECT_FALSE(session.loginItem().has_value());
    EXPECT_FALSE(mainScreenPushed());
    EXPECT_TRUE(nothingStored());
}

TEST_F(LoginControllerTest, SignInTapReturnsWhileTheNameServerIsSilent)
{
    // Host names are checked through a look-up that blocks until the test lets it go.
    struct Gate
    {
        std::atomic<bool> entered = false;
        std::atomic<bool> released = false;
    };
    const auto gate = std::make_shared<Gate>();
    HsAppConstants::setNameRouteLookup([gate](const std::string &, const std::string &) {
        gate->entered = true;
        while (!gate->released)
            QThread::msleep(5);
        return true;
    });
    const QString demoPort = QString::fromStdString(server->endpoint()).section(QLatin1Char(':'), 2);
    HsServiceConfig::setEndpoint("http://localhost:" + demoPort.toStdString());

    defaults = std::make_unique<HsDefaults>(dir.filePath(QStringLiteral("defaults.ini")));
    controller = std::make_unique<HsLoginController>(port, session, *defaults, dir.path());
    controller->viewDidLoad();
    controller->cbLoginTeacher()->clicked();
    fillIn(kTeacherAccount, kTeacherPassword);

    QElapsedTimer tap;
    tap.start();
    controller->pressButton(HsLoginController::signInTag);
    const qint64 tapMilliseconds = tap.elapsed();
    const bool stillBlocked = waitUntil([&] { return gate->entered.load(); }) && !gate->released;

    gate->released = true;
    HsAppConstants::setNameRouteLookup({});
    EXPECT_TRUE(stillBlocked);
    EXPECT_LT(tapMilliseconds, 1000);
    EXPECT_EQ(port.events().value(0), kSigningIn);
    EXPECT_TRUE(waitForMainScreen());
}

TEST_F(LoginControllerTest, ParentSignsInAsLoginTypeOne)
{
    session.setLoginType(0);
    HsLoginController &login = launch();
    fillIn(QStringLiteral("jz1001"), QStringLiteral("parent123"));

    login.pressButton(HsLoginController::signInTag);
    ASSERT_TRUE(waitForMainScreen());

    // The demo school refuses a parent's account at the teachers' sign-in.
    EXPECT_TRUE(port.toasts().isEmpty());
    EXPECT_EQ(session.loginType(), 1);
    ASSERT_TRUE(session.loginItem().has_value());
    EXPECT_NE(session.loginItem()->userId, 0);
    EXPECT_NE(session.loginItem()->classId, 0);
    EXPECT_EQ(defaults->value("loginTeacher"), "0");
    EXPECT_EQ(defaults->value("userName"), "jz1001");
}

TEST_F(LoginControllerTest, RememberOtherThanOneTicksTheBoxButLeavesThePasswordOut)
{
    {
        HsDefaults stored(dir.filePath(QStringLiteral("defaults.ini")));
        stored.setValue("userName", kTeacherAccount);
        stored.setValue("remember", "2");
        stored.setValue("passWord", kTeacherPassword);
    }
    HsLoginController &login = launch();

    EXPECT_TRUE(login.cbRemember()->isChecked());
    EXPECT_EQ(login.account(), kTeacherAccount);
    EXPECT_TRUE(login.password().isEmpty());
}

TEST_F(LoginControllerTest, RememberedPasswordWithSeparatorsAndLeadingSpacesComesBackAsTyped)
{
    const QString password = QStringLiteral("  a,b;c=d@e ");
    {
        HsDefaults stored(dir.filePath(QStringLiteral("defaults.ini")));
        for (const auto &[key, value] :
             HsLoginController::signInDefaults(true, QStringLiteral(" 王芳,=;@"), true, password, false))
            stored.setValue(key, value);
    }
    HsLoginController &login = launch();

    EXPECT_EQ(login.account(), QStringLiteral(" 王芳,=;@"));
    EXPECT_EQ(login.password(), password);
}

TEST_F(LoginControllerTest, UnsavableChoicesAreToldOnceAndTheSignInGoesOn)
{
    // A folder where the defaults file should be: nothing can be written there.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("defaults.ini")));
    HsLoginController &login = launch();
    login.cbLoginTeacher()->clicked();
    login.cbRemember()->clicked();
    fillIn(kTeacherAccount, kTeacherPassword);

    login.pressButton(HsLoginController::signInTag);
    ASSERT_TRUE(waitForMainScreen());

    EXPECT_EQ(port.toasts(), QStringList{"设置未能保存！"});
    ASSERT_TRUE(session.loginItem().has_value());
    EXPECT_EQ(session.loginItem()->userName, std::optional<std::string>("wangfang"));
}

TEST_F(LoginControllerTest, EmptyOrRefusedTypeListsKeepTheCachedCategoriesAndTheMainScreenOpens)
{
    {
        auto preferences = std::make_shared<HsPreferences>();
        ASSERT_TRUE(preferences->load(dir.path().toStdString()));
        HsPreferences::setCurrent(preferences);
        NewsTypeDao().replaceAll({NewsTypeItem{11, "notice", "通知", 0}});
        ResourceTypeDao().replaceAll({ResourceTypeItem{21, "food", "美食"}});
        HsPreferences::setCurrent(nullptr);
    }
    // Every call gets a user and no items; the resource categories are refused.
    CannedService service(QStringLiteral(
        "<Result><Code>0</Code><Error></Error><TeacherId>4</TeacherId><ClassId>7</ClassId></Result>"));
    service.answerMethod(QStringLiteral("getResourceTypes"),
                         QStringLiteral("<Result><Code>3</Code><Error>忙</Error>"
                                        "<ResourceType><TypeId>99</TypeId></ResourceType></Result>"));
    HsServiceConfig::setEndpoint(service.endpoint());
    HsLoginController &login = launch();
    login.cbLoginTeacher()->clicked();
    fillIn(kTeacherAccount, kTeacherPassword);

    login.pressButton(HsLoginController::signInTag);
    ASSERT_TRUE(waitForMainScreen());

    EXPECT_EQ(session.loginItem()->userId, 4);
    EXPECT_EQ(NewsTypeDao().initSelectSchools(), (std::vector<NewsTypeItem>{{11, "notice", "通知", 0}}));
    EXPECT_EQ(ResourceTypeDao().initSelects(), (std::vector<ResourceTypeItem>{{21, "food", "美食"}}));
}
