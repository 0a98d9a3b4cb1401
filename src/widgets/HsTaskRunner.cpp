#include "HsTaskRunner.h"

#include "cache/HsPreferences.h"

#include <QThread>
#include <atomic>
#include <set>

namespace {

// The thread object of every task not yet freed, whichever runner started it. Used on the
// runners' thread only.
std::set<QThread *> &liveWorkers()
{
    static std::set<QThread *> workers;
    return workers;
}

std::atomic<int> tasksUnderway{0};

void freeWorker(QThread *worker)
{
    liveWorkers().erase(worker);
    worker->deleteLater();
}

} // namespace

HsTaskRunner::HsTaskRunner(QObject *parent) : QObject(parent) {}

// The reports of tasks still running go with this object's connections; their threads free
// themselves when they end.
HsTaskRunner::~HsTaskRunner() = default;

void HsTaskRunner::run(std::function<void()> task, std::function<void()> finished)
{
    QThread *worker = QThread::create([database = HsPreferences::current(), task = std::move(task)] {
        const HsDbThreadBinding binding(database);
        task();
        --tasksUnderway;
    });
    liveWorkers().insert(worker);
    ++tasksUnderway;
    if (finished)
        connect(worker, &QThread::finished, this, std::move(finished));
    // The thread object outlives the runner when needed: it lives on the runners' thread and is
    // freed there once its thread has ended.
    connect(worker, &QThread::finished, worker, [worker] { freeWorker(worker); });
    worker->start();
}

int HsTaskRunner::tasksRunning()
{
    return tasksUnderway;
}

void HsTaskRunner::waitForAllTasks()
{
    while (!liveWorkers().empty()) {
        QThread *worker = *liveWorkers().begin();
        liveWorkers().erase(worker);
        worker->wait();
        delete worker;
    }
}
