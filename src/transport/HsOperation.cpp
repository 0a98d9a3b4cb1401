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
    std::lock_guard lock(m_stateMutex);
    std::erase(m_observers, observer);
}

// Observers are called without the state lock held, so that they may read the flags; the new
// value is stored under the lock, so whoever sees it also sees everything written before it.
void HsOperation::changeReportedFlag(bool &flag, bool value, std::string_view key)
{
    std::vector<HsOperationObserver *> observers;
    {
        std::lock_guard lock(m_stateMutex);
        if (_isConcurrent)
            observers = m_observers;
    }
    for (HsOperationObserver *observer : observers)
        observer->operationWillChange(*this, key);
    {
        std::lock_guard lock(m_stateMutex);
        flag = value;
    }
    for (HsOperationObserver *observer : observers)
        observer->operationDidChange(*this, key);
}
