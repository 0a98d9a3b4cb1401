#include "transport/HsOperation.h"

#include <algorithm>

bool HsOperation::isExecuting() const
{
    std::lock_guard lock(m_stateMutex);
    return _isExecuting;
}

bool HsOperation::isFinished() const
{
    std::lock_guard lock(m_stateMutex);
    return _isFinished;
}

bool HsOperation::isReady() const
{
    std::lock_guard lock(m_stateMutex);
    return _isReady;
}

bool HsOperation::isCancelled() const
{
    std::lock_guard lock(m_stateMutex);
    return _isCancelled;
}

bool HsOperation::isConcurrent() const
{
    std::lock_guard lock(m_stateMutex);
    return _isConcurrent;
}

void HsOperation::setIsExecuting(bool executing)
{
    changeReportedFlag(_isExecuting, executing, "isExecuting");
}

void HsOperation::setIsFinished(bool finished)
{
    changeReportedFlag(_isFinished, finished, "isFinished");
}

void HsOperation::setIsReady(bool ready)
{
    std::lock_guard lock(m_stateMutex);
    _isReady = ready;
}

void HsOperation::setIsCancelled(bool cancelled)
{
    std::lock_guard lock(m_stateMutex);
    _isCancelled = cancelled;
}

void HsOperation::setIsConcurrent(bool concurrent)
{
    std::lock_guard lock(m_stateMutex);
    _isConcurrent = concurrent;
}

void HsOperation::start() {}

void HsOperation::main() {}

void HsOperation::cancel()
{
    setIsCancelled(true);
}

void HsOperation::addObserver(HsOperationObserver *observer)
{
    std::lock_guard lock(m_stateMutex);
    m_observers.push_back(observer);
}

void HsOperation::removeObserver(HsOperationObserver *observer)
{
    std::unique_lock lock(m_stateMutex);
    std::erase(m_observers, observer);
    const std::thread::id self = std::this_thread::get_id();
    m_reportEnded.wait(lock, [&] {
        return std::none_of(m_reports.begin(), m_reports.end(), [&](const Report *report) {
            return report->thread != self &&
                   std::ranges::find(report->observers, observer) != report->observers.end();
        });
    });
}

// Observers are called without the state lock held, so that they may read the flags; the new
// value is stored under the lock, so whoever sees it also sees everything written before it.
// Whoever sees the new value may also destroy the observers and then the operation as soon as
// removeObserver lets them: the report stays registered until its last call has returned, and
// its end is announced under the lock, after which this thread touches neither.
void HsOperation::changeReportedFlag(bool &flag, bool value, std::string_view key)
{
    Report report{std::this_thread::get_id(), {}};
    {
        std::lock_guard lock(m_stateMutex);
        if (!_isConcurrent || m_observers.empty()) {
            flag = value;
            return;
        }
        report.observers = m_observers;
        m_reports.push_back(&report);
    }
    // Ends the report even if an observer throws, so that removeObserver cannot wait forever.
    struct EndReport
    {
        HsOperation &operation;
        const Report &report;
        ~EndReport() { operation.endReport(report); }
    } endReport{*this, report};

    for (HsOperationObserver *observer : report.observers)
        observer->operationWillChange(*this, key);
    {
        std::lock_guard lock(m_stateMutex);
        flag = value;
    }
    for (HsOperationObserver *observer : report.observers)
        observer->operationDidChange(*this, key);
}

void HsOperation::endReport(const Report &report)
{
    std::lock_guard lock(m_stateMutex);
    std::erase(m_reports, &report);
    m_reportEnded.notify_all();
}
