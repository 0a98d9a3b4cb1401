#include "HsProgressOverlay.h"

#include <QThread>
#include <algorithm>

HsProgressOverlay::HsProgressOverlay(QObject *parent) : QObject(parent) {}

HsProgressOverlay::~HsProgressOverlay()
{
    for (QThread *worker : m_workers) {
        worker->wait();
        delete worker;
    }
}

void HsProgressOverlay::run(const QString &text, std::function<void()> action, std::function<void()> hidden)
{
    if (m_text != text) {
        m_text = text;
        emit textChanged();
    }
    QThread *worker = QThread::create(std::move(action));
    m_workers.push_back(worker);
    connect(worker, &QThread::finished, this,
            [this, worker, hidden = std::move(hidden)] { actionReturned(worker, hidden); });
    if (++m_running == 1)
        emit shownChanged();
    worker->start();
}

void HsProgressOverlay::actionReturned(QThread *worker, const std::function<void()> &hidden)
{
    m_workers.erase(std::remove(m_workers.begin(), m_workers.end(), worker), m_workers.end());
    worker->deleteLater();
    if (--m_running == 0)
        emit shownChanged();
    if (hidden)
        hidden();
}
