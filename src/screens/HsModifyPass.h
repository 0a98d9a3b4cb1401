#pragma once

#include "screens/HsUserSession.h"
#include "screens/ScreenPort.h"

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>
#include <optional>

// Changes the signed-in user's password: old password, new password and the new one again.
class HsModifyPass : public QObject
{
    Q_OBJECT
    // Named apart from the interface file "HsModifyPass.qml" that shows it.
    QML_NAMED_ELEMENT(HsModifyPassController)
    QML_UNCREATABLE("Screens are made by their controllers")
    Q_PROPERTY(QString textOldPass MEMBER m_textOldPass READ textOldPass NOTIFY textOldPassChanged)
    Q_PROPERTY(QString textNewPass MEMBER m_textNewPass READ textNewPass NOTIFY textNewPassChanged)
    Q_PROPERTY(QString textChkPass MEMBER m_textChkPass READ textChkPass NOTIFY textChkPassChanged)
public:
    // The interface file that shows this screen.
    static constexpr auto interfaceFile = "HsModifyPass";

    enum Button
    {
        Back = 1,
        Submit = 2,
    };
    Q_ENUM(Button)

    HsModifyPass(ScreenPort &port, const HsUserSession &session, QObject *parent = nullptr);

    QString textOldPass() const { return m_textOldPass; }
    QString textNewPass() const { return m_textNewPass; }
    QString textChkPass() const { return m_textChkPass; }

    // Submit submits the change, Back closes the screen.
    Q_INVOKABLE void pressButton(int tag);

signals:
    void textOldPassChanged();
    void textNewPassChanged();
    void textChkPassChanged();
    // The fields should give up the keyboard.
    void keyboardDismissed();

private:
    void submit();
    std::optional<QString> inputProblem() const;

    ScreenPort &m_port;
    const HsUserSession &m_session;
    QString m_textOldPass;
    QString m_textNewPass;
    QString m_textChkPass;
    QString m_oldPass;
    QString m_newPass;
    QString m_chkPass;
};
