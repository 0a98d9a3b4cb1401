#pragma once

#include <QObject>
#include <QQueue>
#include <QString>
#include <QTimer>
#include <QtQml/qqmlregistration.h>

// The toast: a short message over the current screen that goes away by itself. Messages may be
// raised from any thread; they are shown one after the other on the interface thread, each for
// `displayMilliseconds`.
class HsToast : public QObject
{
    Q_OBJECT
    // Named apart from the interface file "HsToast.qml" that shows it.
    QML_NAMED_ELEMENT(HsToastController)
    QML_UNCREATABLE("The toast belongs to the screen port")
    Q_PROPERTY(QString text READ text NOTIFY textChanged)
    Q_PROPERTY(bool shown READ isShown NOTIFY shownChanged)
public:
    static constexpr int displayMilliseconds = 2000;
    static constexpr int gapMilliseconds = 300;

    explicit HsToast(QObject *parent = nullptr);

    QString text() const { return m_text; }
    bool isShown() const { return m_shown; }

    // Thread-safe.
    void show(const QString &text);

signals:
    void textChanged();
    void shownChanged();

private:
    void enqueue(const QString &text);
    void showNext();
    void fadeOut();
    void setShown(bool shown);

    QQueue<QString> m_waiting;
    QString m_text;
    bool m_shown = false;
    bool m_busy = false;
    QTimer m_timer;
};
