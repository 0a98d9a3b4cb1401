#pragma once

#include "screens/ScreenPort.h"
#include "widgets/HsProgressOverlay.h"
#include "widgets/HsToast.h"

#include <QObject>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

// The screen port of the running application. The window's QML listens to its signals and
// drives a StackView; the toast and the progress overlay are shown from its two widget objects.
class HsQuickScreenPort : public QObject, public ScreenPort
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The screen port is made by the application delegate")
    Q_PROPERTY(HsToast *toast READ toast CONSTANT)
    Q_PROPERTY(HsProgressOverlay *overlay READ overlay CONSTANT)
public:
    explicit HsQuickScreenPort(QObject *parent = nullptr);

    HsToast *toast() { return &m_toast; }
    HsProgressOverlay *overlay() { return &m_overlay; }

    void showToast(const QString &text) override;
    void runUnderOverlay(const QString &text, std::function<void()> work,
                         std::function<void()> hidden) override;
    void pop() override;
    void popToRoot() override;

    // Where the application's QML module keeps the interface file `interfaceFile`.
    static QUrl interfaceUrl(const QString &interfaceFile);

    // Called by the window once it has made the screen item for a pushed controller: the
    // controller then lives exactly as long as its screen.
    Q_INVOKABLE void adopt(QObject *controller, QObject *screen);

signals:
    void pushRequested(const QUrl &screen, QObject *controller);
    void popRequested();
    void popToRootRequested();

protected:
    void pushScreen(const QString &interfaceFile, QObject *controller) override;

private:
    HsToast m_toast;
    HsProgressOverlay m_overlay;
};
