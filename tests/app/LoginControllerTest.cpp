#include "AreaTestSupport.h"
#include "screens/HsLoginController.h"
#include "screens/MainController.h"
#include "transport/HsAppConstants.h"

#include <QDir>
#include <QElapsedTimer>
#include <array>
#include <atomic>

namespace {

const QString kTeacherAccount = QStringLiteral("wangfang");
const QString kTeacherPassword = QStringLiteral("teacher123");
const QString kSigningIn = QStringLiteral("overlay:Logining, please wait...");
const QString kMainPushed = QStringLiteral("push:MainController");

class LoginControllerTest : public DemoSchoolTest
{
protected:
    void TearDown() override
    {
        EXPECT_TRUE(waitUntil([this] { return port.idle(); }));
        controller.reset();
        DemoSchoolTest::TearDown();
    }

    QString defaultsPath() const { return dir.filePath(QStringLiteral("defaults.ini")); }

    // A new launch of the login screen over the same stored defaults, with the real network check
    // or `networkUp` in its place.
    HsLoginController &launch(bool realNetworkCheck = false)
    {
        controller.reset();
        defaults = std::make_unique<HsDefaults>(defaultsPath());
        controller = std::make_unique<HsLoginController>(port, session, *defaults, dir.path());
        pushesAtLaunch = port.pushed().size();
        if (!realNetworkCheck)
            controller->setNetworkCheck([this] { return networkUp; });
        controller->viewDidLoad();
        return *controller;
    }

    // Launches the login screen and signs in with the role and the account given.
    void signInAs(bool teacher, const QString &account, const QString &password, bool autoLogin = false)
    {
        HsLoginController &login = launch();
        (teacher ? login.cbLoginTeacher() : login.cbLoginStudent())->clicked();
        if (autoLogin)
            login.cbAutoLogin()->clicked();
        fillIn(account, password);
        login.pressButton(HsLoginController::SignIn);
    }

    void fillIn(const QString &account, const QString &password)
    {
        controller->setAccount(account);
        controller->setPassword(password);
    }

    bool waitForMainScreen()
    {
        return waitUntil(
            [this] { return port.pushed().size() > pushesAtLaunch && !controller->isSigningIn(); });
    }
    bool nothingStored() const { return QFile(defaultsPath()).size() <= 0; }

    std::unique_ptr<HsDefaults> defaults;
    std::unique_ptr<HsLoginController> controller;
    bool networkUp = true;
    size_t pushesAtLaunch = 0;
};

} // namespace

TEST_F(LoginControllerTest, WeakPasswordsAreShortOrFiveToSeventeenDigits)
{
    for (const char *weak : {"abc123", "12345", "1234567", "12345678901234567", "密码密码密码"})
        EXPECT_TRUE(HsLoginController::isWeakPassword(QString::fromUtf8(weak))) << weak;
    for (const char *strong : {"123456789012345678", "123456a", "1234 567", "密码密码密码密"})
        EXPECT_FALSE(HsLoginController::isWeakPassword(QString::fromUtf8(strong))) << strong;
}

// The first start chooses a parent with both boxes unticked; the two roles exclude each other,
// automatic sign-in needs a remembered password and forgetting it ends automatic sign-in. The
// input checks stop at the first failure with its toast; the help and forgotten-password pages
// open without any check, unknown tags do nothing, and nothing is stored.
TEST_F(LoginControllerTest, FirstStartChoosesParentAndChoicesAndInputChecksStayConsistent)
{
    HsLoginController &login = launch();
    CheckButton &teacher = *login.cbLoginTeacher(), &parent = *login.cbLoginStudent();
    CheckButton &remember = *login.cbRemember(), &autoLogin = *login.cbAutoLogin();
    EXPECT_EQ(
        (std::array{parent.isChecked(), teacher.isChecked(), remember.isChecked(), autoLogin.isChecked()}),
        (std::array{true, false, false, false}));
    EXPECT_TRUE(login.account().isEmpty() && login.password().isEmpty() && port.events().isEmpty());
    for (CheckButton *tapped : {&parent, &teacher, &parent}) {
        tapped->clicked();
        EXPECT_TRUE(tapped->isChecked());
        EXPECT_NE(teacher.isChecked(), parent.isChecked());
    }
    autoLogin.clicked();
    EXPECT_TRUE(remember.isChecked());
    autoLogin.clicked();
    EXPECT_FALSE(autoLogin.isChecked());
    EXPECT_TRUE(remember.isChecked());
    autoLogin.clicked();
    remember.clicked();
    EXPECT_FALSE(remember.isChecked() || autoLogin.isChecked());

    for (const auto &[account, password, network] :
         {std::tuple<QString, QString, bool>{kTeacherAccount, kTeacherPassword, false},
          {QString(), QString(), true},
          {kTeacherAccount, QString(), true}}) {
        fillIn(account, password);
        networkUp = network;
        login.pressButton(HsLoginController::SignIn);
    }
    for (const int tag : {int(HsLoginController::ForgottenPassword), int(HsLoginController::Help), 99})
        login.pressButton(tag);
    EXPECT_EQ(port.events(),
              (QStringList{"toast:请检查网络状态！", "toast:请输入用户名！", "toast:请输入密码！",
                           "push:EdGetPassViewController", "push:EdHelpViewController"}));
    EXPECT_TRUE(nothingStored());
}

// A refusal, no answer, an empty result and an accepting answer without a user record: none of
// them signs anyone in or stores anything, and each tells the user why (after the weak-password
// warning, which does not stop the call).
TEST_F(LoginControllerTest, NoSignInWithoutAUserRecordAndNothingIsStored)
{
    EventLoopSoapServer noUser(QStringLiteral("<Result><Code>0</Code><Error></Error></Result>"));
    EventLoopSoapServer emptyResult{QString()};
    const ClosedPort closed;
    const struct
    {
        std::string endpoint;
        QString password;
        QStringList events;
    } cases[] = {
        {server->endpoint(),
         "123456",
         {"toast:您的密码过于简单，请及时修改密码！", kSigningIn, "toast:用户名或密码错误！"}},
        {closed.url(), kTeacherPassword, {kSigningIn, "toast:请检查网络状态！"}},
        {emptyResult.url(), kTeacherPassword, {kSigningIn, "toast:请检查网络状态！"}},
        {noUser.url(), kTeacherPassword, {kSigningIn, "toast:用户名或密码错误！"}},
    };
    for (const auto &c : cases) {
        HsServiceConfig::setEndpoint(c.endpoint);
        session.setLoginType(1);
        const qsizetype before = port.events().size();
        const int finished = port.overlaysFinished();
        signInAs(true, kTeacherAccount, c.password, true);
        ASSERT_TRUE(
            waitUntil([&] { return port.overlaysFinished() > finished && !controller->isSigningIn(); }));

        EXPECT_EQ(port.events().mid(before), c.events) << c.endpoint;
        EXPECT_EQ(session.loginType(), 0);
        EXPECT_FALSE(session.loginItem().has_value());
        EXPECT_TRUE(nothingStored());
        EXPECT_EQ(HsPreferences::current(), nullptr);
    }
    EXPECT_EQ(emptyResult.callCount(), 1);
    EXPECT_EQ(noUser.callCount(), 1);
}

// A teacher signs in with login type 0 and a parent with 1 (the demo school refuses a parent's
// account at the teachers' sign-in); both store the user, the cache and the choices. The next
// start restores the form; with automatic sign-in it signs in by itself once the remembered
// password has been read, without waiting for the network check.
TEST_F(LoginControllerTest, SignInsStoreTheirChoicesAndTheNextStartRestoresThem)
{
    const struct
    {
        bool teacher, autoLogin;
        QString account, password;
    } cases[] = {{false, false, "jz1001", "parent123"}, {true, true, kTeacherAccount, kTeacherPassword}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.account.toStdString());
        session.setLoginType(c.teacher ? 1 : 0);
        qsizetype before = port.events().size();
        const qsizetype toasts = port.toasts().size();
        signInAs(c.teacher, c.account, c.password, c.autoLogin);
        ASSERT_TRUE(waitForMainScreen());

        EXPECT_EQ(port.toasts().size(), toasts);
        // The main screen starts its areas before it is pushed: the student record fetches its homework.
        EXPECT_EQ(port.events().value(before), kSigningIn);
        EXPECT_TRUE(port.events().mid(before).contains(QStringLiteral("overlay:获取学生作业, 请稍候...")));
        EXPECT_EQ(port.events().last(), kMainPushed);
        EXPECT_NE(qobject_cast<MainController *>(port.pushed().back().get()), nullptr);
        ASSERT_TRUE(session.loginItem().has_value());
        EXPECT_EQ(session.loginItem()->userName, std::optional(c.account.toStdString()));
        EXPECT_TRUE(session.loginItem()->userId != 0 && session.loginItem()->classId != 0);
        EXPECT_EQ(session.loginType(), c.teacher ? 0 : 1);
        EXPECT_TRUE(QFile::exists(dir.filePath(
            QString::fromStdString(HsPreferences::accountFileName(c.teacher, c.account.toStdString())))));
        EXPECT_FALSE(NewsTypeDao().initSelectSchools().empty() || NewsTypeDao().initSelectNews().empty() ||
                     ResourceTypeDao().initSelects().empty());
        // The password is kept by the password store, not under the key earlier versions used.
        const QString ticked = c.autoLogin ? "1" : "0";
        for (const auto &[key, value] : {std::pair<QString, QString>{"loginTeacher", c.teacher ? "1" : "0"},
                                         {"userName", c.account},
                                         {"remember", ticked},
                                         {"passWord", ""},
                                         {"autologin", ticked}})
            EXPECT_EQ(defaults->value(key), value) << key.toStdString();

        networkUp = false;
        session.setLoginType(c.teacher ? 1 : 0);
        before = port.events().size();
        HsLoginController &again = launch();
        networkUp = true;
        EXPECT_EQ(again.account(), c.account);
        EXPECT_EQ(again.cbLoginTeacher()->isChecked(), c.teacher);
        EXPECT_EQ(again.cbRemember()->isChecked() && again.cbAutoLogin()->isChecked(), c.autoLogin);
        if (!c.autoLogin) {
            EXPECT_TRUE(again.password().isEmpty() && port.events().size() == before);
            continue;
        }
        EXPECT_TRUE(waitUntil([&] { return again.password() == c.password; }));
        EXPECT_EQ(port.events().mid(before), QStringList{kSigningIn});
        ASSERT_TRUE(waitForMainScreen());
        EXPECT_EQ(port.toasts().size(), toasts);
        EXPECT_EQ(session.loginType(), 0);
    }
}

// Host names are checked through a look-up that blocks until the test lets it go: the tap returns
// at once. Choices that cannot be saved are told once, and the sign-in goes on.
TEST_F(LoginControllerTest, SignInTapReturnsWhileTheNameServerIsSilentAndUnsavableChoicesAreToldOnce)
{
    const auto entered = std::make_shared<std::atomic<bool>>(false);
    const auto released = std::make_shared<std::atomic<bool>>(false);
    HsAppConstants::setNameRouteLookup([entered, released](const std::string &, const std::string &) {
        *entered = true;
        while (!*released)
            QThread::msleep(5);
        return true;
    });
    const QString demoPort = QString::fromStdString(server->endpoint()).section(QLatin1Char(':'), 2);
    HsServiceConfig::setEndpoint("http://localhost:" + demoPort.toStdString());
    // A folder where the defaults file should be: nothing can be written there.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("defaults.ini")));

    launch(true).cbLoginTeacher()->clicked();
    controller->cbRemember()->clicked();
    fillIn(kTeacherAccount, kTeacherPassword);
    QElapsedTimer tap;
    tap.start();
    controller->pressButton(HsLoginController::SignIn);
    EXPECT_LT(tap.elapsed(), 1000);
    const bool stillBlocked = waitUntil([&] { return entered->load(); }) && !*released;
    *released = true;
    HsAppConstants::setNameRouteLookup({});
    EXPECT_TRUE(stillBlocked);
    EXPECT_EQ(port.events().value(0), kSigningIn);
    ASSERT_TRUE(waitForMainScreen());
    EXPECT_EQ(port.toasts(), QStringList{"设置未能保存！"});
    EXPECT_EQ(session.loginItem()->userName, std::optional<std::string>("wangfang"));
}

TEST_F(LoginControllerTest, EmptyOrRefusedTypeListsKeepTheCachedCategoriesAndTheMainScreenOpens)
{
    HsPreferences::setCurrent(std::make_shared<HsPreferences>());
    ASSERT_TRUE(
        HsPreferences::current()->load(dir.path().toStdString(), std::nullopt,
                                       HsPreferences::accountFileName(true, kTeacherAccount.toStdString())));
    NewsTypeDao().replaceAll({NewsTypeItem{11, "notice", "通知", 0}});
    ResourceTypeDao().replaceAll({ResourceTypeItem{21, "food", "美食"}});
    HsPreferences::setCurrent(nullptr);
    // Every call gets a user and no items; the resource categories are refused.
    EventLoopSoapServer service(QStringLiteral(
        "<Result><Code>0</Code><Error></Error><TeacherId>4</TeacherId><ClassId>7</ClassId></Result>"));
    service.answerMethod("getResourceTypes",
                         QStringLiteral("<Result><Code>3</Code><Error>忙</Error>"
                                        "<ResourceType><TypeId>99</TypeId></ResourceType></Result>"));
    HsServiceConfig::setEndpoint(service.url());
    signInAs(true, kTeacherAccount, kTeacherPassword);
    ASSERT_TRUE(waitForMainScreen());

    EXPECT_EQ(session.loginItem()->userId, 4);
    EXPECT_EQ(NewsTypeDao().initSelectSchools(), (std::vector<NewsTypeItem>{{11, "notice", "通知", 0}}));
    EXPECT_EQ(ResourceTypeDao().initSelects(), (std::vector<ResourceTypeItem>{{21, "food", "美食"}}));
}
