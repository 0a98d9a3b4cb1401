#include "transport/HsOperationQueue.h"

#include <algorithm>

// Every wake-up of this queue is sent with its lock held: a waiter that sees the change it waited
// for can only do so once the sender has let go of the lock, so the queue may be destroyed as soon
// as the last wait on it returns without racing a sender that is still inside it.
HsOperationQueue::~HsOperationQueue()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_waiting.clear();
        m_changed.notify_all();
    }
    for (std::thread &worker : m_workers)
        worker.join();
    // Only operations that never started are left; one may still be finished by another thread.
    for (const auto &operation : m_operations)
        operation->removeObserver(this);
}

void HsOperationQueue::addOperation(std::shared_ptr<HsOperation> operation)
{
    if (!operation)
        return;
    operation->addObserver(this);
    {
        std::lock_guard lock(m_mutex);
        m_operations.push_back(operation);
        m_waiting.push_back(std::move(operation));
        startWorkerIfNeeded();
        m_changed.notify_all();
    }
}

void HsOperationQueue::addOperations(std::vector<std::shared_ptr<HsOperation>> operations,
                                     bool waitUntilFinished)
{
    std::erase(operations, nullptr);
    if (waitUntilFinished && runOnCallingThreadIfIdle(operations))
        return;
    for (std::shared_ptr<HsOperation> &operation : operations)
        addOperation(std::move(operation));
    if (waitUntilFinished)
        waitUntilAllOperationsAreFinished();
}

// Counts as one running worker while it runs, so workers started by other threads' additions
// still respect the width.
bool HsOperationQueue::runOnCallingThreadIfIdle(const std::vector<std::shared_ptr<HsOperation>> &operations)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_suspended || m_stopping || !m_operations.empty() || effectiveWidth() == 0)
            return false;
        for (const std::shared_ptr<HsOperation> &operation : operations) {
            operation->addObserver(this);
            m_operations.push_back(operation);
        }
        ++m_running;
    }
    for (const std::shared_ptr<HsOperation> &operation : operations) {
        run(operation);
        operation->removeObserver(this);
        std::lock_guard lock(m_mutex);
        forget(operation);
    }
    std::lock_guard lock(m_mutex);
    --m_running;
    startWorkerIfNeeded();
    m_changed.notify_all();
    return true;
}

void HsOperationQueue::setMaxConcurrentOperationCount(int count)
{
    std::lock_guard lock(m_mutex);
    m_maxConcurrentOperationCount = count;
    startWorkerIfNeeded();
    m_changed.notify_all();
}

int HsOperationQueue::maxConcurrentOperationCount() const
{
    std::lock_guard lock(m_mutex);
    return m_maxConcurrentOperationCount;
}

int HsOperationQueue::operationCount() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_operations.size());
}

std::vector<std::shared_ptr<HsOperation>> HsOperationQueue::operations() const
{
    std::lock_guard lock(m_mutex);
    return m_operations;
}

void HsOperationQueue::waitUntilAllOperationsAreFinished()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_operations.empty(); });
}

void HsOperationQueue::setSuspended(bool suspended)
{
    std::lock_guard lock(m_mutex);
    m_suspended = suspended;
    startWorkerIfNeeded();
    m_changed.notify_all();
}

bool HsOperationQueue::isSuspended() const
{
    std::lock_guard lock(m_mutex);
    return m_suspended;
}

void HsOperationQueue::operationWillChange(HsOperation &, std::string_view) {}

// Called on the thread that finished the operation. Waking the waiters under the lock makes sure
// a worker that has just checked the flag and is about to wait cannot miss this change, and that
// no waiter gets past its wait while this thread still uses the condition.
void HsOperationQueue::operationDidChange(HsOperation &, std::string_view key)
{
    if (key != "isFinished")
        return;
    std::lock_guard lock(m_mutex);
    m_changed.notify_all();
}

size_t HsOperationQueue::effectiveWidth() const
{
    // A width of zero starts nothing, as a suspended queue would not.
    if (m_maxConcurrentOperationCount >= 0)
        return static_cast<size_t>(m_maxConcurrentOperationCount);
    return std::max(1u, std::thread::hardware_concurrency());
}

bool HsOperationQueue::canStartAnother() const
{
    return !m_suspended && !m_waiting.empty() && m_running < effectiveWidth();
}

// Called with the lock held. Threads are made only when waiting work has no idle worker to take
// it, and never more than the width allows.
void HsOperationQueue::startWorkerIfNeeded()
{
    if (m_stopping || !canStartAnother())
        return;
    const size_t wanted = std::min(effectiveWidth(), m_running + m_waiting.size());
    if (m_idleWorkers == 0 && m_workers.size() < wanted)
        m_workers.emplace_back([this] { workerLoop(); });
}

void HsOperationQueue::workerLoop()
{
    std::unique_lock lock(m_mutex);
    while (true) {
        ++m_idleWorkers;
        m_changed.wait(lock, [this] { return m_stopping || canStartAnother(); });
        --m_idleWorkers;
        if (m_stopping)
            return;
        std::shared_ptr<HsOperation> operation = std::move(m_waiting.front());
        m_waiting.pop_front();
        ++m_running;
        startWorkerIfNeeded();
        lock.unlock();
        run(operation);
        operation->removeObserver(this);
        lock.lock();
        --m_running;
        forget(operation);
        m_changed.notify_all();
    }
}

// A concurrent operation says itself when it has finished; any other is done once start returns.
// The caller then stops observing the operation, without the queue's lock, since that waits for a
// report of the finish still under way on the finishing thread, which needs the lock.
void HsOperationQueue::run(const std::shared_ptr<HsOperation> &operation)
{
    operation->start();
    if (!operation->isConcurrent()) {
        operation->setIsFinished(true);
        return;
    }
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&operation] { return operation->isFinished(); });
}

void HsOperationQueue::forget(const std::shared_ptr<HsOperation> &operation)
{
    std::erase(m_operations, operation);
}
