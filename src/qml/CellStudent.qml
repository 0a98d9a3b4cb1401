import QtQuick
import QtQuick.Controls.Basic

// One person of the class, teacher or student: the picture and the name. Rows are not
// selectable, so a tap does nothing.
ItemDelegate {
    id: cell

    required property int index
    required property string name
    required property string avatar

    height: 60
    padding: 0
    text: name
    Accessible.name: name

    ListView.onReused: imLogo.reuse()

    background: Rectangle {
        color: "white"

        Rectangle {
            anchors.bottom: parent.bottom
            x: 12
            width: parent.width - 12
            height: 1
            color: HsStyle.separator
        }
    }

    // The cell draws its content itself, below; the style's content item would repeat the text.
    contentItem: Item {}

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
