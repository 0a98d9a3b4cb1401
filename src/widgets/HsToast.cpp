#include "HsToast.h"

#include <QMetaObject>

HsToast::HsToast(QObject *parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
}

void HsToast::show(const QString &text)
{
    QMetaObject::invokeMethod(
        this, [this, text] { enqueue(text); }, Qt::QueuedConnection);
}

void HsToast::enqueue(const QString &text)
{
    m_waiting.enqueue(text);
    if (!m_busy)
        showNext();
}

void HsToast::showNext()
{
    if (m_waiting.isEmpty()) {
        m_busy = false;
        return;
    }
    m_busy = true;
    m_text = m_waiting.dequeue();
    emit textChanged();
    setShown(true);
    m_timer.disconnect();
    connect(&m_timer, &QTimer::timeout, this, &HsToast::fadeOut);
    m_timer.start(displayMilliseconds);
}

void HsToast::fadeOut()
{
    setShown(false);
    m_timer.disconnect();
    connect(&m_timer, &QTimer::timeout, this, &HsToast::showNext);
    m_timer.start(gapMilliseconds);
}

void HsToast::setShown(bool shown)
{
    if (m_shown == shown)
        return;
    m_shown = shown;
    emit shownChanged();
}
