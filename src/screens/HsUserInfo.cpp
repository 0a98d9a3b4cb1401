#include "HsUserInfo.h"

namespace {

QString textOf(const std::optional<std::string> &field)
{
    return field ? QString::fromStdString(*field) : QString();
}

// The profile rows, in display order, each one field of the user's record without a caption.
QStringList profileRows(const LoginResultItem &user)
{
    return {textOf(user.schoolName), textOf(user.className),  textOf(user.address),   textOf(user.fatherName),
            textOf(user.fatherWork), textOf(user.motherName), textOf(user.motherWork)};
}

} // namespace

HsUserInfo::HsUserInfo(ScreenPort &port, const HsUserSession &session, QObject *parent)
    : QObject(parent), m_port(port)
{
    const LoginResultItem user = session.user();
    m_userName = textOf(user.userName);
    m_realName = textOf(user.realName);
    m_phone = textOf(user.phone);
    m_tableUser.setStringList(profileRows(user));
}

void HsUserInfo::pressButton(int tag)
{
    if (tag == backTag)
        m_port.pop();
}
