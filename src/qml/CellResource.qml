import QtQuick

// One resource of the resource table: its thumbnail, its title and its update date as sent.
HsCell {
    id: cell

    required property int index
    required property int resId
    required property string resTitle
    required property string updateDate
    required property string resThumb

    height: 60
    text: resTitle
    Accessible.name: resTitle

    ListView.onReused: imLogo.reuse()

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
