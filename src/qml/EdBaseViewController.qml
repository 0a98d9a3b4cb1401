import QtQuick

// A screen with a title bar (title and back button); what a derived screen declares goes
// below the bar.
Item {
    id: screen

    property QtObject controller
    property alias topBar: bar
    default property alias content: body.data

    Rectangle {
        anchors.fill: parent
        color: "#eef2f7"
    }

    Item {
        id: body

        anchors.top: bar.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
    }

    Image {
        id: bar

        width: parent.width
        height: 55
        source: "images/titleback.png"
        fillMode: Image.Stretch

        Text {
            id: lbTitle

            anchors.centerIn: parent
            width: parent.width - 130
            horizontalAlignment: Text.AlignHCenter
            elide: Text.ElideRight
            text: screen.controller ? screen.controller.title : ""
            color: "white"
            font.pixelSize: 18
            font.bold: true
        }

        HsBarButton {
            x: 6
            y: 12
            image: "images/titlebar_home.png"
            text: "返回"
            onClicked: screen.controller.homeButtonClicked(1000)
        }
    }
}
