#include "AppTestSupport.h"
#include "app/HsNotificationChannel.h"
#include "widgets/HsProgressOverlay.h"
#include "widgets/HsToast.h"

#include <QSignalSpy>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>

TEST(ProgressOverlayTest, RunsTheActionOnAWorkerAndFinishesAfterHiding)
{
    HsProgressOverlay overlay;
    QSignalSpy shownChanges(&overlay, &HsProgressOverlay::shownChanged);
    std::atomic<QThread *> actionThread = nullptr;
    QThread *hiddenThread = nullptr;
    bool shownWhenHidden = true;

    overlay.run(
        "提交中, 请稍候...", [&] { actionThread = QThread::currentThread(); },
        [&] {
            hiddenThread = QThread::currentThread();
            shownWhenHidden = overlay.isShown();
        });
    EXPECT_TRUE(overlay.isShown());
    EXPECT_EQ(overlay.text(), "提交中, 请稍候...");

    ASSERT_TRUE(waitUntil([&] { return hiddenThread != nullptr; }));
    EXPECT_NE(actionThread.load(), QThread::currentThread());
    EXPECT_EQ(hiddenThread, QThread::currentThread());
    EXPECT_FALSE(shownWhenHidden);
    EXPECT_EQ(shownChanges.count(), 2);
}

TEST(ProgressOverlayTest, StaysShownUntilEveryActionHasReturned)
{
    HsProgressOverlay overlay;
    std::atomic<bool> release = false;
    int finished = 0;

    overlay.run(
        "a",
        [&] {
            while (!release)
                QThread::yieldCurrentThread();
        },
        [&] { ++finished; });
    overlay.run(
        "b", [] {}, [&] { ++finished; });

    ASSERT_TRUE(waitUntil([&] { return finished == 1; }));
    EXPECT_TRUE(overlay.isShown());
    release = true;
    ASSERT_TRUE(waitUntil([&] { return finished == 2; }));
    EXPECT_FALSE(overlay.isShown());
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

    HsNotificationChannel secondInstance;
    EXPECT_FALSE(secondInstance.listen(name));
    QString error;
    EXPECT_FALSE(HsNotificationChannel::send(name, "[1, 2]", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(HsNotificationChannel::send(name + "-nobody", "{}"));
}
