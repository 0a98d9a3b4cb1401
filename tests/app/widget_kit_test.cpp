#include "AppTestSupport.h"
#include "widgets/HsProgressOverlay.h"
#include "widgets/HsToast.h"

#include <QSignalSpy>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>

// Actions run on workers; the overlay stays shown until every action has returned, and is hidden
// before the last one's `hidden` runs on the interface thread.
TEST(ProgressOverlayTest, RunsActionsOnWorkersAndHidesOnceAllHaveReturned)
{
    HsProgressOverlay overlay;
    QSignalSpy shownChanges(&overlay, &HsProgressOverlay::shownChanged);
    std::atomic<bool> release = false;
    std::atomic<QThread *> actionThread = nullptr;
    std::vector<std::pair<QThread *, bool>> hidden; // the thread and whether the overlay was still shown
    const auto onHidden = [&] { hidden.emplace_back(QThread::currentThread(), overlay.isShown()); };
    const QString text = QStringLiteral("提交中, 请稍候...");
    const auto first = [&] { actionThread = QThread::currentThread(); };
    overlay.run(text, first, onHidden);
    overlay.run(
        text, [&] { release.wait(false); }, onHidden);
    EXPECT_TRUE(overlay.isShown());
    EXPECT_EQ(overlay.text(), text);

    ASSERT_TRUE(waitUntil([&] { return hidden.size() == 1; }));
    EXPECT_TRUE(overlay.isShown());
    release = true;
    release.notify_all();
    ASSERT_TRUE(waitUntil([&] { return hidden.size() == 2; }));
    EXPECT_NE(actionThread.load(), QThread::currentThread());
    EXPECT_EQ(hidden[0], std::pair(QThread::currentThread(), true));
    EXPECT_EQ(hidden[1], std::pair(QThread::currentThread(), false));
    EXPECT_EQ(shownChanges.count(), 2);
}

TEST(ToastTest, MessagesFromAnyThreadAreShownInTurnAndFadeByThemselves)
{
    HsToast toast;
    QStringList shown;
    QObject::connect(&toast, &HsToast::shownChanged, [&] {
        EXPECT_EQ(QThread::currentThread(), toast.thread());
        if (toast.isShown())
            shown << toast.text();
    });

    std::unique_ptr<QThread> worker(QThread::create([&] {
        toast.show("请输入用户名！");
        toast.show("请输入密码！");
    }));
    worker->start();
    worker->wait();

    ASSERT_TRUE(waitUntil([&] { return shown.size() == 2 && !toast.isShown(); }));
    EXPECT_EQ(shown, (QStringList{"请输入用户名！", "请输入密码！"}));
}
