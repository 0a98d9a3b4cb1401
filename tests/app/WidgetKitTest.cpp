#include "AppTestSupport.h"
#include "app/HsNotificationChannel.h"
#include "cache/HsPreferences.h"
#include "screens/HsCategoryBarModel.h"
#include "widgets/HsProgressOverlay.h"
#include "widgets/HsTaskRunner.h"
#include "widgets/HsToast.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QThread>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>

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

// A runner that goes away while its task still runs (a call waiting on the network) is gone at
// once: the task finishes alone and its report is dropped. The task works on the cache database
// that was current when it was asked for, whatever became current meanwhile.
TEST(TaskRunnerTest, GoesAwayWithoutWaitingAndItsTaskKeepsItsDatabase)
{
    struct Gate
    {
        std::mutex mutex;
        std::condition_variable opened;
        bool open = false;
        std::shared_ptr<HsPreferences> seen;
    };
    auto gate = std::make_shared<Gate>();
    const auto asked = std::make_shared<HsPreferences>();
    HsPreferences::setCurrent(asked);
    const int othersRunning = HsTaskRunner::tasksRunning();
    bool reported = false;
    auto runner = std::make_unique<HsTaskRunner>();
    runner->run(
        [gate] {
            std::unique_lock lock(gate->mutex);
            // Bounded, so that a runner waiting for its task shows as a slow close, not a hang.
            gate->opened.wait_for(lock, std::chrono::seconds(10), [&] { return gate->open; });
            gate->seen = HsPreferences::forThisThread();
        },
        [&] { reported = true; });
    HsPreferences::setCurrent(std::make_shared<HsPreferences>());

    QElapsedTimer clock;
    clock.start();
    runner.reset();
    EXPECT_LT(clock.elapsed(), 100);
    EXPECT_EQ(HsTaskRunner::tasksRunning(), othersRunning + 1);
    {
        std::lock_guard lock(gate->mutex);
        gate->open = true;
    }
    gate->opened.notify_all();
    HsTaskRunner::waitForAllTasks();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(HsTaskRunner::tasksRunning(), 0);
    EXPECT_FALSE(reported);
    EXPECT_EQ(gate->seen, asked);
    HsPreferences::setCurrent(nullptr);
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

// One running instance receives what a second process sends; a second listener is refused.
TEST(NotificationChannelTest, DeliversJsonObjectsToTheRunningInstance)
{
    const QString name =
        HsNotificationChannel::socketName(QString::number(QCoreApplication::applicationPid()));
    HsNotificationChannel channel;
    ASSERT_TRUE(channel.listen(name));
    QSignalSpy received(&channel, &HsNotificationChannel::payloadReceived);
    std::atomic<bool> sent = false;
    std::unique_ptr<QThread> sender(QThread::create(
        [&] { sent = HsNotificationChannel::send(name, R"({"aps":{"badge":2},"from":"王芳"})"); }));
    sender->start();
    ASSERT_TRUE(received.wait(kWaitMilliseconds));
    sender->wait();
    EXPECT_TRUE(sent);
    const QVariantMap payload = received.first().first().toMap();
    EXPECT_EQ(payload.value("from").toString(), "王芳");
    EXPECT_EQ(payload.value("aps").toMap().value("badge").toInt(), 2);
    EXPECT_FALSE(HsNotificationChannel().listen(name));
    QString error;
    EXPECT_FALSE(HsNotificationChannel::send(name, "[1, 2]", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(HsNotificationChannel::send(name + "-nobody", "{}"));
}

// A category title wider than its button keeps to one line and is cut short, rather than wrapped
// into lines that the bar clips; a title that fits is shown whole.
TEST(CategoryBarTest, ATitleWiderThanItsButtonIsElidedOnOneLine)
{
    HsCategoryBarModel menu;
    const QStringList titles{QStringLiteral("通知"), QStringLiteral("三年级二班家长委员会活动")};
    menu.setTitles(titles);
    QQmlEngine engine;
    QQmlComponent component(&engine, QUrl(QStringLiteral("qrc:/HsSchool/HsCategoryBar.qml")));
    QQuickWindow window;
    std::unique_ptr<QQuickItem> bar(qobject_cast<QQuickItem *>(
        component.createWithInitialProperties({{QStringLiteral("menu"), QVariant::fromValue(&menu)}})));
    ASSERT_NE(bar, nullptr) << component.errorString().toStdString();
    bar->setWidth(320);
    bar->setParentItem(window.contentItem());
    window.resize(320, 33);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    const auto textShowing = [](QQuickItem *from, const QString &title) {
        return firstShownItem(from, [&](QQuickItem *item) {
            return item->inherits("QQuickText") && item->property("text").toString() == title;
        });
    };
    for (const QString &title : titles) {
        QQuickItem *text = textShowing(bar.get(), title);
        ASSERT_NE(text, nullptr) << title.toStdString();
        EXPECT_EQ(text->property("lineCount").toInt(), 1) << title.toStdString();
        EXPECT_EQ(text->property("truncated").toBool(), title.size() > 2) << title.toStdString();
    }
}
