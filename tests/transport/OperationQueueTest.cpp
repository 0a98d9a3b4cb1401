#include "TransportTestSupport.h"
#include "transport/HsOperationQueue.h"
#include "transport/HsServiceExecOperation.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <numeric>
#include <stdexcept>
#include <thread>

namespace {

class ThrowingOperation : public HsServiceExecOperation
{
protected:
    void execWebServiceMethod() override { throw std::runtime_error("broken call"); }
};

// The service call pattern: a private queue of width 1 and a blocked caller. Neither a cancelled
// operation nor one whose call throws gets an answer, and both finish.
TEST(ServiceOperation, CancelledOrThrowingOperationFinishesWithoutAnAnswer)
{
    TestSoapServer server;
    auto cancelled = std::make_shared<HsServiceExecOperation>();
    cancelled->setM_namespace(kTestNamespace);
    cancelled->setM_serverURL(server.url());
    cancelled->setM_wsMethodName("getNews");
    cancelled->cancel();
    for (const std::shared_ptr<HsServiceExecOperation> &operation :
         {cancelled, std::shared_ptr<HsServiceExecOperation>(std::make_shared<ThrowingOperation>())}) {
        HsOperationQueue queue;
        queue.setMaxConcurrentOperationCount(1);
        queue.addOperation(operation);
        queue.waitUntilAllOperationsAreFinished();
        EXPECT_TRUE(operation->isFinished());
        EXPECT_FALSE(operation->m_serviceResponse().has_value());
        EXPECT_FALSE(operation->answered());
    }
    EXPECT_EQ(cancelled->m_client(), nullptr);
    EXPECT_TRUE(server.requests().empty());
}

// Finishes from a thread of its own (owned and joined by the test) once the gate opens, after
// writing its number where the test reads it once the wait returns.
class ThreadFinishedOperation : public HsOperation
{
public:
    ThreadFinishedOperation(std::thread &finisher, std::shared_future<void> gate, int &result, int number)
        : m_finisher(finisher), m_gate(std::move(gate)), m_result(result), m_number(number)
    {
        setIsConcurrent(true);
    }

    void start() override
    {
        setIsExecuting(true);
        m_finisher = std::thread([this] {
            m_gate.wait();
            m_result = m_number;
            setIsExecuting(false);
            setIsFinished(true);
        });
    }

private:
    std::thread &m_finisher;
    std::shared_future<void> m_gate;
    int &m_result;
    int m_number;
};

// The caller destroys the queue, and with it the last hold on the operation, as soon as its wait
// returns, while the finishing thread may still be reporting the change. Repeated to catch that
// thread at every point of its report, run by a worker of the queue and by the waiting caller.
TEST(OperationQueue, QueueAndOperationMayGoAsSoonAsTheWaitReturns)
{
    std::promise<void> open;
    open.set_value();
    const std::shared_future<void> gate = open.get_future().share();
    for (int round = 0; round < 400; ++round) {
        std::thread finisher;
        int result = -1;
        auto queue = std::make_unique<HsOperationQueue>();
        queue->setMaxConcurrentOperationCount(1);
        auto operation = std::make_shared<ThreadFinishedOperation>(finisher, gate, result, round);
        if (round % 2 == 0) {
            queue->addOperation(std::move(operation));
            queue->waitUntilAllOperationsAreFinished();
        } else {
            queue->addOperations({std::move(operation)}, true);
        }
        EXPECT_EQ(result, round);
        EXPECT_EQ(queue->operationCount(), 0);
        queue.reset();
        finisher.join();
    }
}

// Notes the order operations ran in and how many ran at the same time.
struct Overlap
{
    std::mutex mutex;
    int running = 0, mostAtOnce = 0;
    std::vector<int> order;
};

class CountingOperation : public HsOperation
{
public:
    CountingOperation(Overlap &overlap, int id) : m_overlap(overlap), m_id(id) {}
    void start() override
    {
        {
            std::lock_guard lock(m_overlap.mutex);
            m_overlap.mostAtOnce = std::max(m_overlap.mostAtOnce, ++m_overlap.running);
            m_overlap.order.push_back(m_id);
        }
        std::this_thread::yield();
        std::lock_guard lock(m_overlap.mutex);
        --m_overlap.running;
    }

private:
    Overlap &m_overlap;
    int m_id;
};

// Held by a suspended queue and then let go, operations of a queue of width 1 run one at a time
// in the order they were added; a caller adding the last one to the busy queue and waiting gets
// back only once all have run.
TEST(OperationQueue, WidthOneRunsOperationsOneAfterAnotherInOrder)
{
    Overlap overlap;
    HsOperationQueue queue;
    queue.setMaxConcurrentOperationCount(1);
    queue.setSuspended(true);
    std::vector<std::shared_ptr<HsOperation>> operations;
    for (int id = 0; id < 20; ++id)
        operations.push_back(std::make_shared<CountingOperation>(overlap, id));
    for (int id = 0; id < 19; ++id)
        queue.addOperation(operations[id]);
    std::thread resume([&queue] {
        while (queue.operationCount() < 20)
            std::this_thread::yield();
        queue.setSuspended(false);
    });
    queue.addOperations({operations.back()}, true);
    std::vector<int> expected(20);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_TRUE(
        std::ranges::all_of(operations, [](const auto &operation) { return operation->isFinished(); }));
    resume.join();
    std::lock_guard lock(overlap.mutex);
    EXPECT_EQ(overlap.order, expected);
    EXPECT_EQ(overlap.mostAtOnce, 1);
}

// Runs a step of the test's choosing as its start.
class StepOperation : public HsOperation
{
public:
    explicit StepOperation(std::function<void()> step) : m_step(std::move(step)) {}
    void start() override { m_step(); }

private:
    std::function<void()> m_step;
};

// A caller that waits on an idle queue runs its operation on its own thread; that operation takes
// the queue's one place, so one added meanwhile waits for it to end instead of starting on a
// worker beside it. The first operation gives the second ample time to start wrongly.
TEST(OperationQueue, WidthOneStartsNothingBesideAnOperationRunOnTheCallingThread)
{
    HsOperationQueue queue;
    queue.setMaxConcurrentOperationCount(1);
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> events;
    const auto note = [&](const std::string &event) {
        std::lock_guard lock(mutex);
        events.push_back(event);
        changed.notify_all();
    };
    auto second = std::make_shared<StepOperation>([&] { note("second starts"); });
    std::thread::id firstThread;
    auto first = std::make_shared<StepOperation>([&] {
        firstThread = std::this_thread::get_id();
        queue.addOperation(second);
        std::unique_lock lock(mutex);
        changed.wait_for(lock, std::chrono::milliseconds(500), [&] { return !events.empty(); });
        lock.unlock();
        note("first ends");
    });

    queue.addOperations({first}, true);
    queue.waitUntilAllOperationsAreFinished();

    EXPECT_EQ(firstThread, std::this_thread::get_id());
    std::lock_guard lock(mutex);
    EXPECT_EQ(events, (std::vector<std::string>{"first ends", "second starts"}));
}

// Records what it is told; may remove itself from inside the report, which must neither wait for
// itself nor hear of later changes.
struct KeyRecorder : HsOperationObserver
{
    void operationWillChange(HsOperation &, std::string_view key) override
    {
        events.push_back("will " + std::string(key));
    }
    void operationDidChange(HsOperation &operation, std::string_view key) override
    {
        events.push_back("did " + std::string(key));
        if (removeItself)
            operation.removeObserver(this);
    }
    std::vector<std::string> events;
    bool removeItself = false;
};

TEST(OperationState, OnlyConcurrentOperationsReportAndAnObserverMayRemoveItselfWhileBeingTold)
{
    KeyRecorder recorder;
    HsOperation plain;
    plain.addObserver(&recorder);
    plain.setIsFinished(true);
    EXPECT_TRUE(recorder.events.empty());
    HsOperation concurrent;
    concurrent.setIsConcurrent(true);
    concurrent.addObserver(&recorder);
    concurrent.setIsReady(false);
    concurrent.setIsExecuting(true);
    recorder.removeItself = true;
    concurrent.setIsFinished(true);
    concurrent.setIsExecuting(false);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"will isExecuting", "did isExecuting",
                                                         "will isFinished", "did isFinished"}));
}

// Holds the report of "isFinished" inside its call until the test lets it go.
struct HoldingObserver : HsOperationObserver
{
    void operationWillChange(HsOperation &, std::string_view) override {}
    void operationDidChange(HsOperation &, std::string_view key) override
    {
        ++calls;
        if (key != "isFinished")
            return;
        inside.set_value();
        released.wait();
    }
    std::atomic<int> calls{0};
    std::promise<void> inside, release;
    std::shared_future<void> released = release.get_future().share();
};

// Once removed, the observer hears of no further change.
TEST(OperationState, RemovingAnObserverWaitsForAReportUnderWayOnAnotherThread)
{
    HoldingObserver observer;
    HsOperation operation;
    operation.setIsConcurrent(true);
    operation.addObserver(&observer);
    std::thread finisher([&] { operation.setIsFinished(true); });
    observer.inside.get_future().wait();

    auto removed = std::async(std::launch::async, [&] { operation.removeObserver(&observer); });
    EXPECT_EQ(removed.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    observer.release.set_value();
    removed.get();
    finisher.join();
    const int callsBefore = observer.calls;
    operation.setIsExecuting(true);
    EXPECT_EQ(observer.calls, callsBefore);
}

} // namespace
