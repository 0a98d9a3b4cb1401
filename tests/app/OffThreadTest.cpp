#include "AppTestSupport.h"
#include "ScreenPortTestSupport.h"
#include "screens/HsOffThread.h"

#include <QThread>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

namespace {

enum class Way
{
    UnderOverlay,
    OnRunner,
};

// What the apply step saw: the result it was handed and the thread it ran on.
struct Applied
{
    std::vector<int> result;
    QThread *thread = nullptr;
};

// Work that waits for the test to let it return, so that the screen can close meanwhile.
struct HeldWork
{
    std::shared_ptr<std::atomic<bool>> released = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<std::atomic<QThread *>> thread = std::make_shared<std::atomic<QThread *>>(nullptr);

    void release()
    {
        *released = true;
        released->notify_all();
    }
};

} // namespace

// The work runs on a worker and its result reaches the apply step on the interface thread, under
// the overlay or on a runner; a screen closed before the work returns never sees the result, and
// the work still finishes alone.
TEST(OffThreadTest, HandsTheResultToTheInterfaceThreadOnlyWhileTheScreenLives)
{
    const struct
    {
        Way way;
        bool closedMeanwhile;
    } cases[] = {
        {Way::UnderOverlay, false},
        {Way::UnderOverlay, true},
        {Way::OnRunner, false},
        {Way::OnRunner, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "overlay " << (c.way == Way::UnderOverlay) << ", closed " << c.closedMeanwhile);
        RecordingPort port;
        HsTaskRunner runner;
        auto screen = std::make_unique<QObject>();
        HeldWork held;
        std::optional<Applied> applied;
        const auto work = [held] {
            held.released->wait(false);
            *held.thread = QThread::currentThread();
            return std::vector<int>{3, 1, 4};
        };
        const auto apply = [&applied](std::vector<int> result) {
            applied = Applied{std::move(result), QThread::currentThread()};
        };
        if (c.way == Way::UnderOverlay)
            hsRunUnderOverlay(port, QStringLiteral("获取中, 请稍候..."), screen.get(), work, apply);
        else
            hsRunOffThread(runner, screen.get(), work, apply);
        if (c.closedMeanwhile)
            screen.reset();
        held.release();

        if (c.way == Way::UnderOverlay) {
            ASSERT_TRUE(waitUntil([&] { return port.overlaysFinished() == 1; }));
        } else {
            HsTaskRunner::waitForAllTasks();
            QCoreApplication::sendPostedEvents();
        }
        EXPECT_NE(held.thread->load(), nullptr);
        EXPECT_NE(held.thread->load(), QThread::currentThread());
        if (c.closedMeanwhile) {
            EXPECT_FALSE(applied);
        } else {
            ASSERT_TRUE(applied);
            EXPECT_EQ(applied->result, (std::vector<int>{3, 1, 4}));
            EXPECT_EQ(applied->thread, QThread::currentThread());
        }
    }
}

// Work with no result is followed by an apply step that takes none, dropped too once the screen
// has closed.
TEST(OffThreadTest, WorkWithoutResultIsFollowedByItsApplyStepWhileTheScreenLives)
{
    RecordingPort port;
    auto kept = std::make_unique<QObject>();
    auto closed = std::make_unique<QObject>();
    std::atomic<int> worked = 0;
    QStringList applied;
    for (QObject *screen : {kept.get(), closed.get()}) {
        hsRunUnderOverlay(
            port, QStringLiteral("提交中, 请稍候..."), screen, [&worked] { ++worked; },
            [&applied, name = screen == kept.get() ? QStringLiteral("kept") : QStringLiteral("closed")] {
                applied << name;
            });
    }
    closed.reset();
    ASSERT_TRUE(waitUntil([&] { return port.overlaysFinished() == 2; }));
    EXPECT_EQ(worked, 2);
    EXPECT_EQ(applied, QStringList{"kept"});
}
