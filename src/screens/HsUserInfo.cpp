#include "HsUserInfo.h"

#include "screens/HsText.h"

namespace {

// The profile rows, in display order, each one field of the user's record; captions() names them.
QStringList profileRows(const LoginResultItem &user)
{
    return {hsDisplayText(user.schoolName), hsDisplayText(user.className),  hsDisplayText(user.address),
            hsDisplayText(user.fatherName), hsDisplayText(user.fatherWork), hsDisplayText(user.motherName),
            hsDisplayText(user.motherWork)};
}

} // namespace

HsUserInfo::HsUserInfo(ScreenPort &port, const HsUserSession &session, QObject *parent)
    : QObject(parent), m_port(port)
{
    const LoginResultItem user = session.user();
    m_userName = hsDisplayText(user.userName);
    m_realName = hsDisplayText(user.realName);
    m_phone = hsDisplayText(user.phone);
    m_tableUser.setStringList(profileRows(user));
}

QStringList HsUserInfo::captions()
{
    return {QStringLiteral("学校"),    QStringLiteral("班级"),     QStringLiteral("地址"),
            QStringLiteral("父亲"),    QStringLiteral("父亲单位"), QStringLiteral("母亲"),
            QStringLiteral("母亲单位")};
}

void HsUserInfo::pressButton(int tag)
{
    if (tag == Back)
        m_port.pop();
}
