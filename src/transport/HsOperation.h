#pragma once

#include <mutex>
#include <string_view>
#include <vector>

class HsOperation;

// Told before and after an operation that manages its own state changes "isExecuting" or
// "isFinished".
class HsOperationObserver
{
public:
    virtual ~HsOperationObserver() = default;
    virtual void operationWillChange(HsOperation &operation, std::string_view key) = 0;
    virtual void operationDidChange(HsOperation &operation, std::string_view key) = 0;
};

// One unit of work for an HsOperationQueue, with its state flags. The flags may be read and
// written from any thread.
class HsOperation
{
public:
    HsOperation() = default;
    HsOperation(const HsOperation &) = delete;
    HsOperation &operator=(const HsOperation &) = delete;
    virtual ~HsOperation() = default;

    bool isExecuting() const;
    bool isFinished() const;
    bool isReady() const;
    bool isCancelled() const;
    bool isConcurrent() const;

    // These two report the change to the observers when the operation is concurrent.
    void setIsExecuting(bool executing);
    void setIsFinished(bool finished);
    void setIsReady(bool ready);
    void setIsCancelled(bool cancelled);
    void setIsConcurrent(bool concurrent);

    // Called by the queue on its worker thread. The base does nothing.
    virtual void start();
    virtual void main();
    // Marks the operation cancelled; one that has not started then finishes without running.
    void cancel();

    void addObserver(HsOperationObserver *observer);
    void removeObserver(HsOperationObserver *observer);

private:
    void changeReportedFlag(bool &flag, bool value, std::string_view key);

    mutable std::mutex m_stateMutex;
    bool _isExecuting = false;
    bool _isFinished = false;
    bool _isReady = true;
    bool _isCancelled = false;
    bool _isConcurrent = false;
    std::vector<HsOperationObserver *> m_observers;
};
