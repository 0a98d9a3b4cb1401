#include "HsModifyPass.h"

#include "screens/HsAccountSwitcher.h"
#include "screens/HsOffThread.h"
#include "services/StudentInfoService.h"

namespace {

// The password-change operation's fourth argument, the same for teachers and parents.
constexpr int32_t modifyPassKind = 1;

// Asks the service to change the password; true only when it answered and accepted.
bool changePassword(const std::string &userName, const QString &oldPass, const QString &newPass)
{
    const StudentInfoResponse response = StudentInfoService().ModifyPass(
        userName, oldPass.toStdString(), newPass.toStdString(), modifyPassKind);
    return response.answered && response.code == 0;
}

} // namespace

HsModifyPass::HsModifyPass(ScreenPort &port, const HsUserSession &session, QObject *parent)
    : QObject(parent), m_port(port), m_session(session)
{}

void HsModifyPass::pressButton(int tag)
{
    if (tag == Submit)
        submit();
    else if (tag == Back)
        m_port.pop();
}

// The first failed input check, in the order the user fills the fields, then the match.
std::optional<QString> HsModifyPass::inputProblem() const
{
    if (m_oldPass.isEmpty())
        return QStringLiteral("请输入原密码！");
    if (m_newPass.isEmpty())
        return QStringLiteral("请输入新密码！");
    if (m_chkPass.isEmpty())
        return QStringLiteral("请输入校验密码！");
    if (m_chkPass != m_newPass)
        return QStringLiteral("密码不一致！");
    return std::nullopt;
}

void HsModifyPass::submit()
{
    m_oldPass = m_textOldPass;
    m_newPass = m_textNewPass;
    m_chkPass = m_textChkPass;
    if (const auto problem = inputProblem()) {
        m_port.showToast(*problem);
        return;
    }
    emit keyboardDismissed();

    // The worker gets copies of everything it needs. The remembered password follows the account
    // even when the screen has closed meanwhile, so the step after the change holds only the
    // sign-in that keeps the passwords, which outlives every screen.
    const std::string userName = m_session.user().userName.value_or(std::string());
    const QString oldPass = m_oldPass;
    const QString newPass = m_newPass;
    ScreenPort &port = m_port;
    HsAccountSwitcher *switcher = m_session.accountSwitcher();
    const HsRememberedAccount account{
        m_session.loginType() == 0, QString::fromStdString(m_session.accountName()), {}};
    hsRunUnderOverlay(
        m_port, QStringLiteral("修改中, 请稍候..."),
        [&port, userName, oldPass, newPass] {
            const bool changed = changePassword(userName, oldPass, newPass);
            port.showToast(changed ? QStringLiteral("密码修改成功！") : QStringLiteral("密码修改失败！"));
            return changed;
        },
        [switcher, account, newPass](bool changed) {
            if (changed && switcher)
                switcher->keepNewPassword(account, newPass);
        });
}
