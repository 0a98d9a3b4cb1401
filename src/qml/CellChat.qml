import QtQuick
import QtQuick.Controls.Basic

// A chat message: who wrote it and when, and the message in a bubble.
ItemDelegate {
    id: cell

    required property int index
    required property string user
    required property string content
    required property string date

    height: 90
    padding: 0
    text: content
    Accessible.name: user + "：" + content

    background: Rectangle {
        color: cell.pressed ? "#e8eef5" : "#eef2f7"
    }

    // The cell draws its content itself, below; the style's content item would repeat the text.
    contentItem: Item {}

    Item {
        anchors.fill: parent

        Text {
            id: lbUser

            x: 12
            y: 6
            width: cell.width / 2
            text: cell.user
            color: "#1f6fc4"
            font.pixelSize: 13
            font.bold: true
            elide: Text.ElideRight
        }

        Text {
            id: lbDate

            anchors.right: parent.right
            anchors.rightMargin: 12
            y: 6
            text: cell.date
            color: "#8a94a0"
            font.pixelSize: 11
        }

        HsStretchedImage {
            id: ivContent

            x: 8
            y: 26
            width: Math.min(cell.width - 40, lbContent.implicitWidth + 30)
            height: 58
            source: "images/chatfrom_bg_normal.png"
            capTop: 7
            capLeft: 15
            capBottom: 7
            capRight: 7
        }

        Text {
            id: lbContent

            x: ivContent.x + 20
            y: ivContent.y + 8
            width: ivContent.width - 30
            height: ivContent.height - 16
            text: cell.content
            color: "#222a33"
            font.pixelSize: 14
            wrapMode: Text.Wrap
            maximumLineCount: 2
            elide: Text.ElideRight
            verticalAlignment: Text.AlignVCenter
        }
    }
}
