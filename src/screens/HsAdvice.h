#pragma once

#include "screens/HsUserSession.h"
#include "screens/ScreenPort.h"

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// Sends the user's feedback about the application.
class HsAdvice : public QObject
{
    Q_OBJECT
    // Named apart from the interface file "HsAdvice.qml" that shows it.
    QML_NAMED_ELEMENT(HsAdviceController)
    QML_UNCREATABLE("Screens are made by their controllers")
    Q_PROPERTY(QString textAdvice READ textAdvice WRITE setTextAdvice NOTIFY textAdviceChanged)
public:
    static constexpr int backTag = 1;
    static constexpr int submitTag = 2;

    HsAdvice(ScreenPort &port, const HsUserSession &session, QObject *parent = nullptr);

    QString textAdvice() const { return m_textAdvice; }
    void setTextAdvice(const QString &text);

    // Tag 2 sends the feedback, tag 1 closes the screen.
    Q_INVOKABLE void pressButton(int tag);

signals:
    void textAdviceChanged();
    // The text view should give up the keyboard.
    void keyboardDismissed();

private:
    void submit();
    void overlayWasHidden();

    ScreenPort &m_port;
    const HsUserSession &m_session;
    QString m_textAdvice;
};
