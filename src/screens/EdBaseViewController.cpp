#include "EdBaseViewController.h"

EdBaseViewController::EdBaseViewController(ScreenPort &port, const QString &title, QObject *parent)
    : QObject(parent), m_port(port), m_title(title)
{}

void EdBaseViewController::setTitleString(const QString &title)
{
    if (m_title == title)
        return;
    m_title = title;
    emit titleChanged();
}

void EdBaseViewController::homeButtonClicked(int tag)
{
    if (tag == HomeButton)
        m_port.pop();
}

EdHelpViewController::EdHelpViewController(ScreenPort &port, QObject *parent)
    : EdBaseViewController(port, QStringLiteral("使用帮助"), parent)
{}

EdGetPassViewController::EdGetPassViewController(ScreenPort &port, QObject *parent)
    : EdBaseViewController(port, QStringLiteral("忘记密码"), parent)
{}

void EdGetPassViewController::pressButton(int) {}
