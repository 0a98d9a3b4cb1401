#pragma once

#include <QObject>
#include <QString>
#include <functional>

// What a screen controller may ask of whatever shows it. The application implements it with
// QML; tests implement it with a recorder, so every screen rule runs without a window.
class ScreenPort
{
public:
    virtual ~ScreenPort() = default;

    // Shows a short message that fades by itself. May be called from any thread.
    virtual void showToast(const QString &text) = 0;

    // Covers the screen with the progress overlay showing `text`, runs `work` on a worker
    // thread, hides the overlay and then calls `hidden` on the interface thread.
    virtual void runUnderOverlay(const QString &text, std::function<void()> work,
                                 std::function<void()> hidden) = 0;

    // Navigation stack: push the screen of `controller`, which the stack takes over; pop the top
    // screen; pop back to the login screen. The screen is the interface file that the
    // controller's class names in `interfaceFile` (the QML file name without extension).
    template <class Controller> void push(Controller *controller)
    {
        pushScreen(QString::fromLatin1(Controller::interfaceFile), controller);
    }
    virtual void pop() = 0;
    virtual void popToRoot() = 0;

protected:
    virtual void pushScreen(const QString &interfaceFile, QObject *controller) = 0;
};
