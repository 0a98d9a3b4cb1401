import QtQuick

// One headline: its title, its date as sent, a dot while it is unread, and the reply marker when
// it asks for a reply ("已回复" instead, once this user has replied).
HsCell {
    id: cell

    required property int index
    required property int newsId
    required property string newsTitle
    required property string publicDate
    required property bool forceReturn
    required property bool unread
    required property bool answered

    height: 60
    text: newsTitle
    Accessible.name: (unread ? "未读，" : "") + newsTitle + (forceReturn ? (answered ? "，已回复" : "，需回复") : "")

    Item {
        anchors.fill: parent

        Rectangle {
            objectName: "unreadDot"
            x: 4
            y: 17
            width: 6
            height: 6
            radius: 3
            color: HsStyle.alert
            visible: cell.unread
        }

        Text {
            id: lbTitle

            x: 12
            y: 9
            width: cell.width - (cell.forceReturn ? 64 : 24)
            text: cell.newsTitle
            color: HsStyle.ink
            font.pixelSize: HsStyle.fontLarge
            elide: Text.ElideRight
        }

        Text {
            id: lbDate

            x: 12
            y: 35
            width: cell.width - 24
            text: cell.publicDate
            color: HsStyle.inkMuted
            font.pixelSize: HsStyle.fontSmall
            elide: Text.ElideRight
        }

        Image {
            id: imLogo

            x: cell.width - 32
            y: 9
            width: 20
            height: 20
            source: "images/news_reply.png"
            visible: cell.forceReturn && !cell.answered
        }

        Text {
            objectName: "answeredMark"
            anchors.right: parent.right
            anchors.rightMargin: 10
            y: 10
            text: "已回复"
            color: HsStyle.success
            font.pixelSize: HsStyle.fontSmall
            visible: cell.forceReturn && cell.answered
        }
    }
}
