#pragma once

#include <condition_variable>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

class HsOperation;

// Told before and after an operation that manages its own state changes "isExecuting" or
// "isFinished". The calls come on the thread that makes the change, with no lock of the operation
// held.
class HsOperationObserver
{
public:
    virtual ~HsOperationObserver() = default;
    virtual void operationWillChange(HsOperation &operation, std::string_view key) = 0;
    virtual void operationDidChange(HsOperation &operation, std::string_view key) = 0;
};

// One unit of work for an HsOperationQueue, with its state flags. The flags may be read and
// written from any thread. An operation may be destroyed once every change reported to its
// observers has reached them: removeObserver waits for that, so an owner that removes its
// observer before it lets go of the operation never races the thread that finished it.
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
    // Once this returns the observer is not told of any later change, and no report to it is
    // still under way on another thread, so the observer and the operation may both go. A report
    // under way on the calling thread (an observer removing itself) is not waited for. Must not be
    // called while holding anything the observer needs to handle a report.
    void removeObserver(HsOperationObserver *observer);

private:
    // A change being reported, from the moment its observers are chosen until the last of them
    // has been told.
    struct Report
    {
        std::thread::id thread;
        std::vector<HsOperationObserver *> observers;
    };

    void changeReportedFlag(bool &flag, bool value, std::string_view key);
    void endReport(const Report &report);

    mutable std::mutex m_stateMutex;
    bool _isExecuting = false;
    bool _isFinished = false;
    bool _isReady = true;
    bool _isCancelled = false;
    bool _isConcurrent = false;
    std::vector<HsOperationObserver *> m_observers;
    std::vector<const Report *> m_reports;
    std::condition_variable m_reportEnded;
};
