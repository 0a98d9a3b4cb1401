#include "HsLoginController.h"

#include "cache/HsPreferences.h"
#include "cache/NewsTypeDao.h"
#include "cache/ResourceTypeDao.h"
#include "screens/EdBaseViewController.h"
#include "screens/MainController.h"
#include "services/HsServiceLink.h"
#include "services/LoginService.h"
#include "services/NewsService.h"
#include "services/ResourceService.h"

#include <QMetaObject>
#include <QRegularExpression>
#include <memory>
#include <utility>

namespace {

const QString keyLoginTeacher = QStringLiteral("loginTeacher");
const QString keyUserName = QStringLiteral("userName");
const QString keyRemember = QStringLiteral("remember");
const QString keyPassWord = QStringLiteral("passWord");
const QString keyAutoLogin = QStringLiteral("autologin");

const QString signingInText = QStringLiteral("Logining, please wait...");

QString flagText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

HsLoginController::HsLoginController(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                                     const QString &documentsDirectory, QObject *parent)
    : QObject(parent), m_port(port), m_session(session), m_defaults(defaults),
      m_documentsDirectory(documentsDirectory),
      m_networkCheck([] { return HsServiceLink::networkAvailable(); }), m_accountBook(defaults),
      m_passwords(defaults), m_cbLoginTeacher(QStringLiteral("教师")),
      m_cbLoginStudent(QStringLiteral("家长")), m_cbRemember(QStringLiteral("记住密码")),
      m_cbAutoLogin(QStringLiteral("自动登录"))
{
    m_session.setAccountSwitcher(this);
}

HsLoginController::~HsLoginController()
{
    if (m_session.accountSwitcher() == this)
        m_session.setAccountSwitcher(nullptr);
    if (m_refreshThread.joinable())
        m_refreshThread.join();
}

void HsLoginController::setNetworkCheck(NetworkCheck check)
{
    m_networkCheck = std::move(check);
}

void HsLoginController::viewDidLoad()
{
    setUpCheckButton(m_cbLoginTeacher, CheckButton::radioStyle, 1);
    setUpCheckButton(m_cbLoginStudent, CheckButton::radioStyle, 2);
    setUpCheckButton(m_cbRemember, CheckButton::checkBoxStyle, 3);
    setUpCheckButton(m_cbAutoLogin, CheckButton::checkBoxStyle, 4);
    restoreChoices();
    fillFormRows(adoptEarlierPassword());
}

void HsLoginController::setUpCheckButton(CheckButton &button, int style, int tag)
{
    button.setStyle(style);
    button.setTag(tag);
    connect(&button, &CheckButton::checkButtonClicked, this, &HsLoginController::checkButtonClicked,
            Qt::UniqueConnection);
}

bool HsLoginController::storedFlag(const QString &key) const
{
    const std::optional<QString> stored = m_defaults.value(key);
    return stored && *stored != QStringLiteral("0");
}

void HsLoginController::restoreChoices()
{
    const bool teacher = storedFlag(keyLoginTeacher);
    m_cbLoginTeacher.setChecked(teacher);
    m_cbLoginStudent.setChecked(!teacher);
    m_cbRemember.setChecked(storedFlag(keyRemember));
    m_cbAutoLogin.setChecked(storedFlag(keyAutoLogin));
}

bool HsLoginController::passwordRemembered() const
{
    return m_defaults.value(keyRemember) == QStringLiteral("1");
}

HsRememberedAccount HsLoginController::lastAccount() const
{
    return {storedFlag(keyLoginTeacher), m_defaults.value(keyUserName).value_or(QString()), {}};
}

// Earlier versions kept the remembered password of the last sign-in in the defaults file. It moves
// to the password store (the file's copy is cleared once the store has it) and its account joins
// the remembered ones. Returns that password, or nothing when there is none to move.
QString HsLoginController::adoptEarlierPassword()
{
    const QString password = m_defaults.value(keyPassWord).value_or(QString());
    const HsRememberedAccount account = lastAccount();
    if (password.isEmpty() || account.account.isEmpty() || !passwordRemembered())
        return {};
    if (!m_accountBook.contains(account))
        m_accountBook.remember(account);
    m_passwords.write(account.key(), password, [this](HsPasswordStore::Place place) {
        if (place != HsPasswordStore::Place::Nowhere)
            m_defaults.setValue(keyPassWord, QString());
    });
    return password;
}

// The last account's name, and its remembered password once the store has answered; the automatic
// sign-in starts then.
void HsLoginController::fillFormRows(const QString &earlierPassword)
{
    const HsRememberedAccount last = lastAccount();
    if (m_defaults.contains(keyUserName))
        setAccount(last.account);
    if (!passwordRemembered())
        return;
    const auto passwordKnown = [this, last](const std::optional<QString> &password) {
        if (!password || password->isEmpty())
            return;
        if (m_password.isEmpty())
            setPassword(*password);
        if (!m_cbAutoLogin.isChecked() || m_signingIn)
            return;
        m_userName = last.account;
        m_passWord = *password;
        startSignIn(last.teacher);
    };
    if (earlierPassword.isEmpty())
        m_passwords.read(last.key(), passwordKnown);
    else
        passwordKnown(earlierPassword);
}

void HsLoginController::setAccount(const QString &account)
{
    if (m_account == account)
        return;
    m_account = account;
    emit accountChanged();
}

void HsLoginController::setPassword(const QString &password)
{
    if (m_password == password)
        return;
    m_password = password;
    emit passwordChanged();
}

void HsLoginController::pressButton(int tag)
{
    switch (tag) {
    case SignIn:
        break;
    case ForgottenPassword:
        m_port.push(new EdGetPassViewController(m_port));
        return;
    case Help:
        m_port.push(new EdHelpViewController(m_port));
        return;
    default:
        return;
    }
    if (m_signingIn)
        return;
    if (!m_networkCheck()) {
        m_port.showToast(QStringLiteral("请检查网络状态！"));
        return;
    }
    m_userName = m_account;
    m_passWord = m_password;
    if (m_userName.isEmpty()) {
        m_port.showToast(QStringLiteral("请输入用户名！"));
        return;
    }
    if (m_passWord.isEmpty()) {
        m_port.showToast(QStringLiteral("请输入密码！"));
        return;
    }
    if (isWeakPassword(m_passWord))
        m_port.showToast(QStringLiteral("您的密码过于简单，请及时修改密码！"));
    emit keyboardDismissed();
    startSignIn(m_cbLoginTeacher.isChecked());
}

bool HsLoginController::isWeakPassword(const QString &password)
{
    static const QRegularExpression digitsOnly(QStringLiteral("^[0-9]{5,17}$"));
    return password.size() < 7 || digitsOnly.match(password).hasMatch();
}

void HsLoginController::switchTo(const HsRememberedAccount &account)
{
    if (m_signingIn)
        return;
    setSigningIn(true);
    m_passwords.read(account.key(), [this, account](const std::optional<QString> &password) {
        if (!password || password->isEmpty()) {
            setSigningIn(false);
            m_port.showToast(QStringLiteral("没有保存的密码，请重新登录！"));
            return;
        }
        if (!m_networkCheck()) {
            setSigningIn(false);
            m_port.showToast(QStringLiteral("请检查网络状态！"));
            return;
        }
        m_switching = true;
        m_userName = account.account;
        m_passWord = *password;
        startSignIn(account.teacher);
    });
}

void HsLoginController::forget(const HsRememberedAccount &account, std::function<void()> done)
{
    m_accountBook.forget(account);
    m_passwords.remove(account.key(), std::move(done));
}

void HsLoginController::keepNewPassword(const HsRememberedAccount &account, const QString &password)
{
    if (m_accountBook.contains(account))
        m_passwords.write(account.key(), password);
}

void HsLoginController::startSignIn(bool teacher)
{
    setSigningIn(true);
    m_asTeacher = teacher;
    m_port.runUnderOverlay(
        signingInText, [this] { doLogin(); }, [this] { overlayWasHidden(); });
}

void HsLoginController::doLogin()
{
    m_bSuccess = false;
    LoginService service;
    const LoginServiceResponse response =
        m_asTeacher ? service.LoginTeacher(m_userName.toStdString(), m_passWord.toStdString())
                    : service.LoginStudent(m_userName.toStdString(), m_passWord.toStdString());
    // A switch that fails leaves the signed-in account as it was.
    if (!m_switching)
        m_session.setLoginType(m_asTeacher ? 0 : 1);
    if (!response.answered) {
        m_port.showToast(QStringLiteral("请检查网络状态！"));
        return;
    }
    // An accepting answer that names no user (none of the record's fields came) signs no one in.
    if (response.code != 0 || !response.item || *response.item == LoginResultItem{}) {
        m_port.showToast(QStringLiteral("用户名或密码错误！"));
        return;
    }
    m_bSuccess = true;
    m_signedIn = *response.item;
    if (!m_switching) {
        beginSession();
        return;
    }
    // The screens of the account switched from read the session on the interface thread: they
    // close there before it changes hands.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_port.popToRoot();
            beginSession();
        },
        Qt::QueuedConnection);
}

// Makes the signed-in user the session's, opens the account's own cache file and refreshes the
// cached categories on a thread of its own.
void HsLoginController::beginSession()
{
    m_session.setLoginType(m_asTeacher ? 0 : 1);
    m_session.setLoginItem(m_signedIn);
    m_session.setAccountName(m_userName.toStdString());
    auto preferences = std::make_shared<HsPreferences>();
    preferences->load(m_documentsDirectory.toStdString(), m_session.accountKey(),
                      HsPreferences::accountFileName(m_asTeacher, m_userName.toStdString()));
    HsPreferences::setCurrent(preferences);
    if (m_refreshThread.joinable())
        m_refreshThread.join();
    m_refreshThread = std::jthread([this] { doGetNewsType(); });
}

void HsLoginController::overlayWasHidden()
{
    const bool switched = std::exchange(m_switching, false);
    if (!m_bSuccess) {
        setSigningIn(false);
        return;
    }
    if (switched)
        showSignedInAccount();
    keepSignInChoices();
}

// The form shows the account switched to, as if it had been typed, so that signing out leads back
// to it.
void HsLoginController::showSignedInAccount()
{
    m_cbLoginTeacher.setChecked(m_asTeacher);
    m_cbLoginStudent.setChecked(!m_asTeacher);
    m_cbRemember.setChecked(true);
    setAccount(m_userName);
    setPassword(m_passWord);
}

// The choices of the sign-in, and the account with its password when "remember" is ticked (an
// account signed in without it is forgotten).
void HsLoginController::keepSignInChoices()
{
    const bool remember = m_cbRemember.isChecked();
    const DefaultsList written = signInDefaults(m_asTeacher, m_userName, remember, m_cbAutoLogin.isChecked());
    // The sign-in goes on even when the choices cannot be kept; the user hears of it once.
    bool saved = true;
    for (const auto &[key, value] : written)
        saved = m_defaults.setValue(key, value) && saved;
    const HsRememberedAccount account = HsRememberedAccount::signedIn(m_asTeacher, m_userName, m_signedIn);
    if (remember) {
        saved = m_accountBook.remember(account) && saved;
        m_passwords.write(account.key(), m_passWord);
    } else {
        m_accountBook.forget(account);
        m_passwords.remove(account.key());
    }
    if (!saved)
        m_port.showToast(QStringLiteral("设置未能保存！"));
}

HsLoginController::DefaultsList HsLoginController::signInDefaults(bool teacher, const QString &userName,
                                                                  bool remember, bool autoLogin)
{
    // The password itself goes to the password store; the key is cleared of what an earlier
    // version kept there.
    return {{keyLoginTeacher, flagText(teacher)},
            {keyUserName, userName},
            {keyRemember, flagText(remember)},
            {keyPassWord, QString()},
            {keyAutoLogin, flagText(autoLogin)}};
}

void HsLoginController::doGetNewsType()
{
    const NewsServiceResponse<NewsTypeItem> newsTypes = NewsService().GetNewsTypes();
    if (newsTypes.answered && newsTypes.code == 0 && !newsTypes.items.empty())
        NewsTypeDao().replaceAll(newsTypes.items);
    const ResourceServiceResponse<ResourceTypeItem> resourceTypes = ResourceService().GetResourceTypes();
    if (resourceTypes.answered && resourceTypes.code == 0 && !resourceTypes.items.empty())
        ResourceTypeDao().replaceAll(resourceTypes.items);
    QMetaObject::invokeMethod(this, &HsLoginController::processedNewsType, Qt::QueuedConnection);
}

void HsLoginController::processedNewsType()
{
    setSigningIn(false);
    m_port.push(new MainController(m_port, m_session, m_defaults));
}

void HsLoginController::checkButtonClicked(CheckButton *button)
{
    const int tag = button->tag();
    if (tag == 1)
        m_cbLoginStudent.setChecked(!m_cbLoginTeacher.isChecked());
    else if (tag == 2)
        m_cbLoginTeacher.setChecked(!m_cbLoginStudent.isChecked());
    else if (tag == 3 && !m_cbRemember.isChecked())
        m_cbAutoLogin.setChecked(false);
    else if (tag == 4 && m_cbAutoLogin.isChecked())
        m_cbRemember.setChecked(true);
}

void HsLoginController::setSigningIn(bool signingIn)
{
    if (m_signingIn == signingIn)
        return;
    m_signingIn = signingIn;
    emit signingInChanged();
}
