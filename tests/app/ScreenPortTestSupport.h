#pragma once

#include "screens/ScreenPort.h"

#include <QMetaObject>
#include <QMutex>
#include <QObject>
#include <QStringList>
#include <QThread>
#include <memory>
#include <vector>

// A screen port for controller tests: records toasts, pushes and pops in order, runs overlay
// work on a real worker thread and calls `hidden` back on the thread that owns `context`, as the
// application does. Wait for results with QTRY_ or QSignalSpy, never with sleeps.
class RecordingPort : public QObject, public ScreenPort
{
    Q_OBJECT
public:
    void showToast(const QString &text) override
    {
        QMutexLocker lock(&m_mutex);
        m_events << QStringLiteral("toast:") + text;
        m_toasts << text;
    }

    void runUnderOverlay(const QString &text, std::function<void()> work,
                         std::function<void()> hidden) override
    {
        record(QStringLiteral("overlay:") + text);
        ++m_overlaysRunning;
        QThread *worker = QThread::create([this, work = std::move(work), hidden = std::move(hidden)] {
            work();
            QMetaObject::invokeMethod(
                this,
                [this, hidden] {
                    --m_overlaysRunning;
                    hidden();
                    ++m_overlaysFinished;
                },
                Qt::QueuedConnection);
        });
        connect(worker, &QThread::finished, worker, &QObject::deleteLater);
        worker->start();
    }

    void pop() override { record(QStringLiteral("pop")); }
    void popToRoot() override { record(QStringLiteral("popToRoot")); }

    QStringList toasts() const
    {
        QMutexLocker lock(&m_mutex);
        return m_toasts;
    }

    QStringList events() const
    {
        QMutexLocker lock(&m_mutex);
        return m_events;
    }

    // The controllers pushed so far, oldest first; the port owns them as a stack would.
    const std::vector<std::unique_ptr<QObject>> &pushed() const { return m_pushed; }
    int overlaysFinished() const { return m_overlaysFinished; }
    bool idle() const { return m_overlaysRunning == 0; }

protected:
    void pushScreen(const QString &interfaceFile, QObject *controller) override
    {
        record(QStringLiteral("push:") + interfaceFile);
        m_pushed.emplace_back(controller);
    }

private:
    void record(const QString &event)
    {
        QMutexLocker lock(&m_mutex);
        m_events << event;
    }

    mutable QMutex m_mutex;
    QStringList m_toasts;
    QStringList m_events;
    std::vector<std::unique_ptr<QObject>> m_pushed;
    int m_overlaysRunning = 0;
    int m_overlaysFinished = 0;
};
