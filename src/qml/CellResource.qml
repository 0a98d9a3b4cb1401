import QtQuick
import QtQuick.Controls.Basic

// One resource of the resource table: its thumbnail, its title and its update date as sent.
ItemDelegate {
    id: cell

    required property int index
    required property int resId
    required property string resTitle
    required property string updateDate
    required property string resThumb

    height: 60
    padding: 0
    text: resTitle
    Accessible.name: resTitle

    ListView.onReused: imLogo.reuse()

    background: Rectangle {
        color: cell.pressed ? HsStyle.pressed : "white"

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

            x: 10
            y: 8
            width: 70
            height: 44
            address: cell.resThumb
        }

        Text {
            id: lbTitle

            x: 90
            y: 9
            width: cell.width - 100
            text: cell.resTitle
            color: HsStyle.ink
            font.pixelSize: HsStyle.fontLarge
            elide: Text.ElideRight
        }

        Text {
            id: lbDate

            x: 90
            y: 35
            width: cell.width - 100
            text: cell.updateDate
            color: HsStyle.inkMuted
            font.pixelSize: HsStyle.fontSmall
            elide: Text.ElideRight
        }
    }
}
