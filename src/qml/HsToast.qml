import QtQuick
import HsSchool

// The toast: a short message near the bottom of the screen that fades in and out by itself.
Item {
    id: area

    required property HsToastController toast

    Rectangle {
        anchors.horizontalCenter: parent.horizontalCenter
        y: area.height * 0.72
        width: Math.min(message.implicitWidth + 32, area.width - 40)
        height: message.height + 20
        radius: 8
        color: HsStyle.toast
        opacity: area.toast.shown ? 1 : 0
        visible: opacity > 0

        Behavior on opacity {
            NumberAnimation {
                duration: 250
            }
        }

        Text {
            id: message

            anchors.centerIn: parent
            width: Math.min(implicitWidth, area.width - 72)
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            text: area.toast.text
            color: "white"
            font.pixelSize: HsStyle.fontText
        }
    }
}
