import QtQuick

// One person of the class, teacher or student: the picture and the name. Rows are not
// selectable, so a tap does nothing.
HsCell {
    id: cell

    required property int index
    required property string name
    required property string avatar

    height: 60
    showsPress: false
    text: name
    Accessible.name: name

    ListView.onReused: imLogo.reuse()

    Item {
        anchors.fill: parent

        NetImageView {
            id: imLogo

            x: 12
            y: 8
            width: 44
            height: 44
            address: cell.avatar
        }

        Text {
            id: lbTitle

            x: 68
            width: cell.width - 80
            height: cell.height
            verticalAlignment: Text.AlignVCenter
            text: cell.name
            color: HsStyle.ink
            font.pixelSize: HsStyle.fontLarge
            elide: Text.ElideRight
        }
    }
}
