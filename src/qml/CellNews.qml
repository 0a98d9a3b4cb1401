import QtQuick
import QtQuick.Controls.Basic

// One headline: its title, its date as sent, and the reply marker when it asks for a reply.
ItemDelegate {
    id: cell

    required property int index
    required property int newsId
    required property string newsTitle
    required property string publicDate
    required property int forceReturn

    height: 60
    padding: 0
    text: newsTitle
    Accessible.name: newsTitle + (forceReturn !== 0 ? "，需回复" : "")

    background: Rectangle {
        color: cell.pressed ? "#e8eef5" : "white"

        Rectangle {
            anchors.bottom: parent.bottom
            x: 12
            width: parent.width - 12
            height: 1
            color: "#dfe5ec"
        }
    }

    contentItem: Item {
        Text {
            id: lbTitle

            x: 12
            y: 9
            width: cell.width - (imLogo.visible ? 52 : 24)
            text: cell.newsTitle
            color: "#222a33"
            font.pixelSize: 16
            elide: Text.ElideRight
        }

        Text {
            id: lbDate

            x: 12
            y: 35
            width: cell.width - 24
            text: cell.publicDate
            color: "#8a94a0"
            font.pixelSize: 12
            elide: Text.ElideRight
        }

        Image {
            id: imLogo

            x: cell.width - 32
            y: 9
            width: 20
            height: 20
            source: "images/news_reply.png"
            visible: cell.forceReturn !== 0
        }
    }
}
