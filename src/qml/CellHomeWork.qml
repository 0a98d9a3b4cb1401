import QtQuick

// A homework, test score or state report row: its text and its date line.
HsCell {
    id: cell

    required property int index
    required property string title
    required property string date

    height: 60
    text: title
    Accessible.name: title + "，" + date

    Item {
        anchors.fill: parent

        Text {
            id: lbTitle

            x: 12
            y: 9
            width: cell.width - 24
            text: cell.title
            color: HsStyle.ink
            font.pixelSize: HsStyle.fontLarge
            elide: Text.ElideRight
        }

        Text {
            id: lbDate

            x: 12
            y: 35
            width: cell.width - 24
            text: cell.date
            color: HsStyle.inkMuted
            font.pixelSize: HsStyle.fontSmall
            elide: Text.ElideRight
        }
    }
}
