#pragma once

#include "widgets/HsTaskRunner.h"

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>
#include <functional>

// The progress overlay: while shown it covers the screen with a spinner and a label and swallows
// its touches. Each run performs one action on a worker thread of its own; when the action
// returns the overlay hides on the interface thread and then calls the run's completion. Actions
// still running when the overlay goes away finish alone, and their completions are dropped.
class HsProgressOverlay : public QObject
{
    Q_OBJECT
    // Named apart from the interface file "HsProgressOverlay.qml" that shows it.
    QML_NAMED_ELEMENT(HsProgressOverlayController)
    QML_UNCREATABLE("The overlay belongs to the screen port")
    Q_PROPERTY(bool shown READ isShown NOTIFY shownChanged)
    Q_PROPERTY(QString text READ text NOTIFY textChanged)
public:
    explicit HsProgressOverlay(QObject *parent = nullptr);

    bool isShown() const { return m_running > 0; }
    QString text() const { return m_text; }

    // Call on the interface thread.
    void run(const QString &text, std::function<void()> action, std::function<void()> hidden);

signals:
    void shownChanged();
    void textChanged();

private:
    void actionReturned(const std::function<void()> &hidden);

    int m_running = 0;
    QString m_text;
    HsTaskRunner m_runner;
};
