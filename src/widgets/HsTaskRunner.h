#pragma once

#include <QObject>
#include <functional>

// Runs tasks on worker threads of their own and reports each task's end on the thread that owns
// the runner. The runner never waits for its tasks: when it goes away, tasks still running (a
// call waiting on the network, for example) finish alone and their reports are dropped, so
// closing a screen is never held up by the network. A task must therefore hold only what it
// owns (values, shared pointers), never its screen.
//
// Each task works on the cache database that was current when it was asked for, so work begun
// under one sign-in never writes into the database of the next one.
class HsTaskRunner : public QObject
{
    Q_OBJECT
public:
    explicit HsTaskRunner(QObject *parent = nullptr);
    ~HsTaskRunner() override;

    // Starts `task` on a new worker thread; `finished` runs on the runner's thread after it
    // returns, unless the runner has gone away by then. Call on the runner's thread.
    void run(std::function<void()> task, std::function<void()> finished);

    // Tasks started by any runner that have not ended yet.
    static int tasksRunning();

    // Waits for every task of every runner and frees their threads: for a process that is about
    // to end, once its calls have been abandoned (see HsSoapClient::abandonCalls), so that no task
    // outlives the objects of the process. Call on the thread that runs the runners.
    static void waitForAllTasks();
};
