import QtQuick

// A text button without a frame.
Text {
    id: link

    signal clicked

    color: area.pressed ? "#1a5fa8" : "#2f86e0"
    font.pixelSize: 15

    MouseArea {
        id: area

        anchors.fill: parent
        anchors.margins: -8
        onClicked: link.clicked()
    }
}
