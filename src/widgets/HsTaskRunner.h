#pragma once

#include <QObject>
#include <functional>
#include <vector>

class QThread;

// Runs tasks on worker threads of their own and reports each task's end on the thread that owns
// the runner. The runner waits for tasks still running when it goes away, so no task outlives
// what it works on, and no report reaches an object that is gone.
class HsTaskRunner : public QObject
{
    Q_OBJECT
public:
    explicit HsTaskRunner(QObject *parent = nullptr);
    ~HsTaskRunner() override;

    // Starts `task` on a new worker thread; `finished` runs on the runner's thread after it returns.
    void run(std::function<void()> task, std::function<void()> finished);

    int running() const { return static_cast<int>(m_workers.size()); }

private:
    void taskReturned(QThread *worker, const std::function<void()> &finished);

    std::vector<QThread *> m_workers;
};
