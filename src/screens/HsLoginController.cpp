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

std::string utf8(const QString &text)
{
    return text.toStdString();
}

} // namespace

HsLoginController::HsLoginController(ScreenPort &port, HsUserSession &session, HsDefaults &defaults,
                                     const QString &documentsDirectory, QObject *parent)
    : QObject(parent), m_port(port), m_session(session), m_defaults(defaults),
      m_documentsDirectory(documentsDirectory),
      m_networkCheck([] { return HsServiceLink::networkAvailable(); }),
      m_cbLoginTeacher(QStringLiteral("教师")), m_cbLoginStudent(QStringLiteral("家长")),
      m_cbRemember(QStringLiteral("记住密码")), m_cbAutoLogin(QStringLiteral("自动登录"))
{}

HsLoginController::~HsLoginController()
{
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
    fillFormRows();
    if (!m_cbAutoLogin.isChecked())
        return;
    m_userName = m_defaults.value(keyUserName).value_or(QString());
    m_passWord = m_defaults.value(keyPassWord).value_or(QString());
    startSignIn();
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

void HsLoginController::fillFormRows()
{
    if (const std::optional<QString> userName = m_defaults.value(keyUserName))
        setAccount(*userName);
    if (m_defaults.value(keyRemember) == QStringLiteral("1"))
        setPassword(m_defaults.value(keyPassWord).value_or(QString()));
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
    startSignIn();
}

bool HsLoginController::isWeakPassword(const QString &password)
{
    static const QRegularExpression digitsOnly(QStringLiteral("^[0-9]{5,17}$"));
    return password.size() < 7 || digitsOnly.match(password).hasMatch();
}

void HsLoginController::startSignIn()
{
    setSigningIn(true);
    m_asTeacher = m_cbLoginTeacher.isChecked();
    m_port.runUnderOverlay(
        signingInText, [this] { doLogin(); }, [this] { overlayWasHidden(); });
}

void HsLoginController::doLogin()
{
    m_bSuccess = false;
    LoginService service;
    const LoginServiceResponse response = m_asTeacher
                                              ? service.LoginTeacher(utf8(m_userName), utf8(m_passWord))
                                              : service.LoginStudent(utf8(m_userName), utf8(m_passWord));
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
    m_session.setLoginItem(*response.item);
    // The cached lists of another account are emptied before anything reads them.
    auto preferences = std::make_shared<HsPreferences>();
    preferences->load(utf8(m_documentsDirectory), m_session.accountKey());
    HsPreferences::setCurrent(preferences);
    if (m_refreshThread.joinable())
        m_refreshThread.join();
    m_refreshThread = std::jthread([this] { doGetNewsType(); });
}

void HsLoginController::overlayWasHidden()
{
    if (!m_bSuccess) {
        setSigningIn(false);
        return;
    }
    const DefaultsList written = signInDefaults(m_asTeacher, m_userName, m_cbRemember.isChecked(), m_passWord,
                                                m_cbAutoLogin.isChecked());
    // The sign-in goes on even when the choices cannot be kept; the user hears of it once.
    bool saved = true;
    for (const auto &[key, value] : written)
        saved = m_defaults.setValue(key, value) && saved;
    if (!saved)
        m_port.showToast(QStringLiteral("设置未能保存！"));
}

HsLoginController::DefaultsList HsLoginController::signInDefaults(bool teacher, const QString &userName,
                                                                  bool remember, const QString &password,
                                                                  bool autoLogin)
{
    return {{keyLoginTeacher, flagText(teacher)},
            {keyUserName, userName},
            {keyRemember, flagText(remember)},
            {keyPassWord, remember ? password : QString()},
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
    switch (button->tag()) {
    case 1:
        m_cbLoginStudent.setChecked(!m_cbLoginTeacher.isChecked());
        break;
    case 2:
        m_cbLoginTeacher.setChecked(!m_cbLoginStudent.isChecked());
        break;
    case 3:
        if (!m_cbRemember.isChecked())
            m_cbAutoLogin.setChecked(false);
        break;
    case 4:
        if (m_cbAutoLogin.isChecked())
            m_cbRemember.setChecked(true);
        break;
    default:
        break;
    }
}

void HsLoginController::setSigningIn(bool signingIn)
{
    if (m_signingIn == signingIn)
        return;
    m_signingIn = signingIn;
    emit signingInChanged();
}
