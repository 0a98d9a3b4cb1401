import QtQuick
import QtQuick.Controls.Basic
import HsSchool

// The application window: the navigation stack with the login screen at its root, the
// first-run guide above it, and the progress overlay and toast above everything.
ApplicationWindow {
    id: window

    required property HsAppDelegate appDelegate
    required property HsQuickScreenPort screenPort
    required property HsLoginScreenController loginController

    width: 320
    height: 568
    // Portrait at the least: narrower or shorter than this, the screens' controls would overlap.
    minimumWidth: 320
    minimumHeight: 480
    visible: true
    title: "家校沟通"
    color: HsStyle.page
    font.family: "WenQuanYi Micro Hei"

    StackView {
        id: navigation

        objectName: "navigation"
        anchors.fill: parent
        initialItem: loginScreen
    }

    HsLoginController {
        id: loginScreen

        controller: window.loginController
        badgeNumber: window.appDelegate.badgeNumber
    }

    // Escape, or a phone's Back key, does what the top screen's back button does.
    Shortcut {
        sequences: ["Esc", "Back"]
        onActivated: (navigation.currentItem as EdBaseViewController)?.backPressed()
    }

    Connections {
        target: window.screenPort

        function onPushRequested(screen, controller) {
            const component = Qt.createComponent(screen);
            if (component.status !== Component.Ready) {
                console.warn("no interface file", screen, component.errorString());
                window.screenPort.adopt(controller, null);
                return;
            }
            window.screenPort.adopt(controller, navigation.push(component, { "controller": controller }));
        }
        function onPopRequested() {
            if (navigation.depth > 1)
                navigation.pop();
        }
        function onPopToRootRequested() {
            navigation.pop(null);
        }
    }

    HsGuideView {
        objectName: "guide"
        anchors.fill: parent
        visible: window.appDelegate.guideVisible
        images: window.appDelegate.userGuideImages
        onPageTapped: index => window.appDelegate.guideDidSelectPageAtIndex(index)
    }

    HsProgressOverlay {
        anchors.fill: parent
        overlay: window.screenPort.overlay
    }

    HsToast {
        anchors.fill: parent
        toast: window.screenPort.toast
    }
}
