#include "HsQuickScreenPort.h"

HsQuickScreenPort::HsQuickScreenPort(QObject *parent) : QObject(parent) {}

void HsQuickScreenPort::showToast(const QString &text)
{
    m_toast.show(text);
}

void HsQuickScreenPort::runUnderOverlay(const QString &text, std::function<void()> work,
                                        std::function<void()> hidden)
{
    m_overlay.run(text, std::move(work), std::move(hidden));
}

void HsQuickScreenPort::pushScreen(const QString &interfaceFile, QObject *controller)
{
    emit pushRequested(interfaceUrl(interfaceFile), controller);
}

void HsQuickScreenPort::pop()
{
    emit popRequested();
}

void HsQuickScreenPort::popToRoot()
{
    emit popToRootRequested();
}

void HsQuickScreenPort::adopt(QObject *controller, QObject *screen)
{
    if (!controller)
        return;
    if (screen)
        controller->setParent(screen);
    else
        controller->deleteLater();
}

QUrl HsQuickScreenPort::interfaceUrl(const QString &interfaceFile)
{
    return QUrl(QStringLiteral("qrc:/HsSchool/%1.qml").arg(interfaceFile));
}
