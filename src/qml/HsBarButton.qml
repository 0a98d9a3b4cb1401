import QtQuick
import QtQuick.Controls.Basic

// A 50 by 27 button of a title bar: a background image and a short caption. It takes touches
// 6 px around the image too.
AbstractButton {
    id: button

    property url image

    width: 62
    height: 39
    padding: 6
    topInset: 6
    bottomInset: 6
    leftInset: 6
    rightInset: 6
    opacity: down ? 0.7 : 1
    font.pixelSize: HsStyle.fontText
    Accessible.name: text

    background: Image {
        source: button.image
        fillMode: Image.Stretch
    }

    contentItem: Text {
        text: button.text
        font: button.font
        color: "white"
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }

    // A focus frame for keyboard users; a touch never shows it.
    Rectangle {
        anchors.fill: parent
        anchors.margins: 4
        radius: 3
        color: "transparent"
        border.color: "white"
        visible: button.visualFocus
    }
}
