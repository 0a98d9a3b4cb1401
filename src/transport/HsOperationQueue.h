#pragma once

#include "transport/HsOperation.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

// Runs operations on worker threads of its own, at most maxConcurrentOperationCount at a time,
// in the order they were added. An operation counts as finished when it reports isFinished (a
// concurrent one) or when its start returns (any other). Destroying the queue lets running
// operations end and drops the ones that never started. The queue may be destroyed as soon as
// every wait on it has returned, even while an operation's own thread is still returning from
// reporting its finish.
class HsOperationQueue : private HsOperationObserver
{
public:
    // No explicit limit: as many at once as the machine has cores. A count of zero runs nothing.
    static constexpr int kDefaultMaxConcurrentOperationCount = -1;

    HsOperationQueue() = default;
    HsOperationQueue(const HsOperationQueue &) = delete;
    HsOperationQueue &operator=(const HsOperationQueue &) = delete;
    ~HsOperationQueue() override;

    void addOperation(std::shared_ptr<HsOperation> operation);
    // Adds the operations and, when asked, waits until every operation of the queue has
    // finished. A caller that waits on an otherwise idle queue runs them itself, in order, on its
    // own thread: the result is the same, without a thread to start and two hand-overs.
    void addOperations(std::vector<std::shared_ptr<HsOperation>> operations, bool waitUntilFinished);
    void setMaxConcurrentOperationCount(int count);
    int maxConcurrentOperationCount() const;
    // Operations added and not yet finished.
    int operationCount() const;
    std::vector<std::shared_ptr<HsOperation>> operations() const;
    // Blocks the calling thread until every operation added so far has finished.
    void waitUntilAllOperationsAreFinished();
    // A suspended queue starts no further operations; running ones go on.
    void setSuspended(bool suspended);
    bool isSuspended() const;

private:
    void operationWillChange(HsOperation &operation, std::string_view key) override;
    void operationDidChange(HsOperation &operation, std::string_view key) override;

    size_t effectiveWidth() const;
    bool canStartAnother() const;
    void startWorkerIfNeeded();
    bool runOnCallingThreadIfIdle(const std::vector<std::shared_ptr<HsOperation>> &operations);
    void workerLoop();
    void run(const std::shared_ptr<HsOperation> &operation);
    // Called with the lock held, once the queue no longer observes the operation.
    void forget(const std::shared_ptr<HsOperation> &operation);

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::shared_ptr<HsOperation>> m_waiting;
    std::vector<std::shared_ptr<HsOperation>> m_operations;
    std::vector<std::thread> m_workers;
    size_t m_idleWorkers = 0;
    size_t m_running = 0;
    int m_maxConcurrentOperationCount = kDefaultMaxConcurrentOperationCount;
    bool m_suspended = false;
    bool m_stopping = false;
};
