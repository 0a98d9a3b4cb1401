import QtQuick
import QtQuick.Controls.Basic
import HsSchool

// The progress overlay: covers the screen and swallows its touches while the overlay object
// reports an action running.
Rectangle {
    id: cover

    required property HsProgressOverlayController overlay

    visible: overlay.shown
    color: HsStyle.dim
    // Takes the keyboard too, so no field is edited behind the overlay.
    onVisibleChanged: if (visible) forceActiveFocus()
    Keys.onPressed: event => event.accepted = true

    MouseArea {
        anchors.fill: parent
        hoverEnabled: true
        preventStealing: true
        onWheel: wheel => wheel.accepted = true
    }

    Rectangle {
        anchors.centerIn: parent
        width: 200
        height: 112
        radius: 10
        color: HsStyle.overlay

        BusyIndicator {
            anchors.horizontalCenter: parent.horizontalCenter
            y: 14
            width: 44
            height: 44
            running: cover.visible
            palette.dark: "white"
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            y: 68
            width: parent.width - 20
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            maximumLineCount: 2
            text: cover.overlay.text
            color: "white"
            font.pixelSize: HsStyle.fontBody
        }
    }
}
