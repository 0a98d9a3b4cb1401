import QtQuick

// A chat message: who wrote it and when, and the message in a bubble. A message that waits to be
// sent is marked so in place of its time.
HsCell {
    id: cell

    required property int index
    required property string user
    required property string content
    required property string date
    // One of HsStudentRecordModel.OutboxState.
    property int postState: HsStudentRecordModel.Delivered

    signal resendClicked

    height: 90
    restColor: HsStyle.page
    separated: false
    text: content
    Accessible.name: user + "：" + content

    Item {
        anchors.fill: parent

        Text {
            id: lbUser

            x: 12
            y: 6
            width: cell.width / 2
            text: cell.user
            color: HsStyle.accent
            font.pixelSize: HsStyle.fontCaption
            font.bold: true
            elide: Text.ElideRight
        }

        Text {
            id: lbDate

            anchors.right: parent.right
            anchors.rightMargin: 12
            y: 6
            visible: !unsentMark.visible
            text: cell.date
            color: HsStyle.inkMuted
            font.pixelSize: HsStyle.fontTiny
        }

        HsUnsentMark {
            id: unsentMark

            anchors.right: parent.right
            anchors.rightMargin: 12
            y: 3
            postState: cell.postState
            onResendClicked: cell.resendClicked()
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
            color: HsStyle.ink
            font.pixelSize: HsStyle.fontBody
            wrapMode: Text.Wrap
            maximumLineCount: 2
            elide: Text.ElideRight
            verticalAlignment: Text.AlignVCenter
        }
    }
}
