import QtQuick

// The title bar of an area of the main screen: its title and the settings button.
Image {
    id: bar

    property alias title: caption.text

    signal settingsPressed

    width: parent ? parent.width : 320
    height: 55
    source: "images/titleback.png"
    fillMode: Image.Stretch

    Text {
        id: caption

        anchors.centerIn: parent
        width: parent.width - 140
        horizontalAlignment: Text.AlignHCenter
        elide: Text.ElideRight
        color: "white"
        font.pixelSize: 18
        font.bold: true
    }

    HsBarButton {
        x: bar.width - 60
        y: 12
        image: "images/titlebar_right.png"
        text: "设置"
        onClicked: bar.settingsPressed()
    }
}
