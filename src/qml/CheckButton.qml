import QtQuick

// An image-and-label toggle driven by a CheckButton object.
Item {
    id: root

    property QtObject button

    Image {
        id: icon

        x: 10
        width: root.height
        height: root.height
        source: root.button ? "images/" + root.button.icon : ""
        fillMode: Image.PreserveAspectFit
        smooth: true
    }

    Text {
        x: icon.width + 14
        width: root.width - icon.width - 14
        height: root.height
        text: root.button ? root.button.label : ""
        color: "black"
        font.pixelSize: 16
        verticalAlignment: Text.AlignVCenter
        horizontalAlignment: Text.AlignLeft
        elide: Text.ElideRight
    }

    MouseArea {
        anchors.fill: parent
        onClicked: root.button.clicked()
    }
}
