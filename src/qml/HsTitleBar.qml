import QtQuick

// The title bar of every screen that has one: the title in the middle, a back button on the left
// and a settings button on the right where the screen asks for them.
Item {
    id: bar

    property alias title: caption.text
    property bool showsBack: false
    property bool showsSettings: false

    signal backPressed
    signal settingsPressed

    width: parent ? parent.width : 320
    height: 55

    HsStretchedImage {
        anchors.fill: parent
        source: "images/titleback.png"
        tiled: true
    }

    Text {
        id: caption

        anchors.centerIn: parent
        width: parent.width - 140
        horizontalAlignment: Text.AlignHCenter
        elide: Text.ElideRight
        color: "white"
        font.pixelSize: HsStyle.fontHeading
        font.bold: true
    }

    HsBarButton {
        objectName: "back"
        x: 0
        y: 6
        visible: bar.showsBack
        image: "images/titlebar_home.png"
        text: "返回"
        onClicked: bar.backPressed()
    }

    HsBarButton {
        objectName: "settings"
        x: bar.width - 66
        y: 6
        visible: bar.showsSettings
        image: "images/titlebar_right.png"
        text: "设置"
        onClicked: bar.settingsPressed()
    }
}
