import QtQuick
import QtQuick.Controls.Basic

// The application window: the navigation stack with the login screen at its root, the
// first-run guide above it, and the progress overlay and toast above everything.
ApplicationWindow {
    id: window

    width: 320
    height: 568
    visible: true
    title: "家校沟通"
    color: "#eef2f7"
    font.family: "WenQuanYi Micro Hei"

    StackView {
        id: navigation

        objectName: "navigation"
        anchors.fill: parent
        initialItem: loginScreen
    }

    HsLoginController {
        id: loginScreen

        controller: loginController
    }

    Connections {
        target: screenPort

        function onPushRequested(interfaceFile, controller) {
            const screen = navigation.push(Qt.resolvedUrl(interfaceFile + ".qml"), { "controller": controller });
            screenPort.adopt(controller, screen);
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
        anchors.fill: parent
        visible: appDelegate.guideVisible
        images: appDelegate.userGuideImages
        onPageTapped: index => appDelegate.guideDidSelectPageAtIndex(index)
    }

    HsProgressOverlay {
        anchors.fill: parent
        overlay: screenPort.overlay
    }

    HsToast {
        anchors.fill: parent
        toast: screenPort.toast
    }
}
