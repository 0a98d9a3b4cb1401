import QtQuick
import QtQuick.Controls.Basic

// A homework, test score or state report row: its text and its date line.
ItemDelegate {
    id: cell

    required property int index
    required property string title
    required property string date

    height: 60
    padding: 0
    text: title
    Accessible.name: title + "，" + date

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
