import QtQuick

// A 50 by 27 button of a title bar: a background image and a short caption.
Item {
    id: button

    property alias image: background.source
    property alias text: caption.text

    signal clicked

    width: 50
    height: 27
    opacity: area.pressed ? 0.7 : 1

    Image {
        id: background

        anchors.fill: parent
        fillMode: Image.Stretch
    }

    Text {
        id: caption

        anchors.centerIn: parent
        color: "white"
        font.pixelSize: 15
    }

    MouseArea {
        id: area

        anchors.fill: parent
        anchors.margins: -6
        onClicked: button.clicked()
    }
}
