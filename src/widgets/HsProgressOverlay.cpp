#include "HsProgressOverlay.h"

HsProgressOverlay::HsProgressOverlay(QObject *parent) : QObject(parent) {}

void HsProgressOverlay::run(const QString &text, std::function<void()> action, std::function<void()> hidden)
{
    if (m_text != text) {
        m_text = text;
        emit textChanged();
    }
    if (++m_running == 1)
        emit shownChanged();
    m_runner.run(std::move(action), [this, hidden = std::move(hidden)] { actionReturned(hidden); });
}

void HsProgressOverlay::actionReturned(const std::function<void()> &hidden)
{
    if (--m_running == 0)
        emit shownChanged();
    if (hidden)
        hidden();
}
