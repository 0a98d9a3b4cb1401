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
    // The interface file that shows this screen.
    static constexpr auto interfaceFile = "HsAdvice";

    enum Button
    {
        Back = 1,
        Submit = 2,
    };
    Q_ENUM(Button)

    HsAdvice(ScreenPort &port, const HsUserSession &session, QObject *parent = nullptr);

    QString textAdvice() const { return m_textAdvice; }
    void setTextAdvice(const QString &text);

    // Submit sends the feedback, Back closes the screen.
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
