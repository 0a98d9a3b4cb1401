#pragma once

#include "screens/ScreenPort.h"

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// A screen with a title bar and a back button (tag 1000) that pops it off the navigation stack.
// Screens that need nothing more than a title and a way back derive from it.
class EdBaseViewController : public QObject
{
    Q_OBJECT
    // Named apart from the interface file "EdBaseViewController.qml" that the screens build on.
    QML_NAMED_ELEMENT(EdBaseController)
    QML_UNCREATABLE("Screens are made by their controllers")
    Q_PROPERTY(QString title READ title NOTIFY titleChanged)
public:
    enum Button
    {
        HomeButton = 1000,
    };
    Q_ENUM(Button)

    explicit EdBaseViewController(ScreenPort &port, const QString &title = {}, QObject *parent = nullptr);

    QString title() const { return m_title; }
    void setTitleString(const QString &title);

    // The title bar's back button; any other tag does nothing.
    Q_INVOKABLE void homeButtonClicked(int tag);

signals:
    void titleChanged();

protected:
    ScreenPort &port() const { return m_port; }

private:
    ScreenPort &m_port;
    QString m_title;
};

// The help page behind the login screen.
class EdHelpViewController : public EdBaseViewController
{
    Q_OBJECT
    // Named apart from the interface file "EdHelpViewController.qml" that shows it.
    QML_NAMED_ELEMENT(EdHelpController)
    QML_UNCREATABLE("Screens are made by their controllers")
public:
    // The interface file that shows this screen.
    static constexpr auto interfaceFile = "EdHelpViewController";

    explicit EdHelpViewController(ScreenPort &port, QObject *parent = nullptr);
};

// The forgotten-password page behind the login screen; its button does nothing.
class EdGetPassViewController : public EdBaseViewController
{
    Q_OBJECT
    // Named apart from the interface file "EdGetPassViewController.qml" that shows it.
    QML_NAMED_ELEMENT(EdGetPassController)
    QML_UNCREATABLE("Screens are made by their controllers")
public:
    // The interface file that shows this screen.
    static constexpr auto interfaceFile = "EdGetPassViewController";

    explicit EdGetPassViewController(ScreenPort &port, QObject *parent = nullptr);

    Q_INVOKABLE void pressButton(int tag);
};
