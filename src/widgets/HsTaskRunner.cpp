#include "HsTaskRunner.h"

#include <QThread>
#include <algorithm>

HsTaskRunner::HsTaskRunner(QObject *parent) : QObject(parent) {}

HsTaskRunner::~HsTaskRunner()
{
    for (QThread *worker : m_workers) {
        worker->wait();
        delete worker;
    }
}

void HsTaskRunner::run(std::function<void()> task, std::function<void()> finished)
{
    QThread *worker = QThread::create(std::move(task));
    m_workers.push_back(worker);
    connect(worker, &QThread::finished, this,
            [this, worker, finished = std::move(finished)] { taskReturned(worker, finished); });
    worker->start();
}

void HsTaskRunner::taskReturned(QThread *worker, const std::function<void()> &finished)
{
    m_workers.erase(std::remove(m_workers.begin(), m_workers.end(), worker), m_workers.end());
    worker->deleteLater();
    if (finished)
        finished();
}
