#include "HsAboutUs.h"

#include <QCoreApplication>
#include <QVersionNumber>

HsAboutUs::HsAboutUs(ScreenPort &port, int type, QObject *parent)
    : EdBaseViewController(port, QString(), parent)
{
    setType(type);
}

void HsAboutUs::setType(int type)
{
    if (m_type == type)
        return;
    m_type = type;
    showTextOfType();
    emit typeChanged();
}

void HsAboutUs::setTextAbout(const QString &text)
{
    if (m_textAbout == text)
        return;
    m_textAbout = text;
    emit textAboutChanged();
}

void HsAboutUs::showTextOfType()
{
    switch (m_type) {
    case aboutType:
        setTitleString(QStringLiteral("关于我们"));
        setTextAbout(companyText());
        break;
    case contactType:
        setTitleString(QStringLiteral("联系方式"));
        setTextAbout(contactText());
        break;
    case versionType:
        setTitleString(QStringLiteral("版本信息"));
        setTextAbout(versionText());
        break;
    default:
        break;
    }
}

QString HsAboutUs::companyText()
{
    return QStringLiteral(
        "晓林家校信息技术有限公司专注于家校沟通服务，致力于让学校、老师与家长之间的联系更简单、更及时。\n\n"
        "本应用为学校和家庭提供作业布置、考试成绩、在校表现、家校交流、学校通知与新闻、"
        "教学资源和班级通讯录等服务，帮助家长随时了解孩子的学习与成长，"
        "帮助老师轻松管理班级事务。\n\n"
        "家校携手，共育未来。");
}

QString HsAboutUs::contactText()
{
    return QStringLiteral("服务热线：400-000-1234\n"
                          "服务时间：周一至周五 9:00 - 18:00\n\n"
                          "电子邮箱：service@hsschool.example\n\n"
                          "公司地址：江城市学府路 88 号 晓林科技园 3 号楼\n\n"
                          "欢迎您通过设置中的“意见反馈”告诉我们您的想法和建议。");
}

// The application's version as major.minor, e.g. "最新版本Version1.0" for 1.0.0.
QString HsAboutUs::versionText()
{
    const QVersionNumber version = QVersionNumber::fromString(QCoreApplication::applicationVersion());
    return QStringLiteral("最新版本Version%1.%2").arg(version.majorVersion()).arg(version.minorVersion());
}
