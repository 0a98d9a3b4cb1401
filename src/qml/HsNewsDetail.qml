pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls.Basic
import HsSchool

// One notice or news item: its title, date and whole text, under the title bar with the back
// button; it stays blank until the item has been fetched. Below a notice that asks for a reply,
// a teacher sees who replied, and a parent a reply box and their own replies.
EdBaseViewController {
    id: screen

    required property HsNewsDetailController controller

    title: controller.title
    onBackPressed: controller.homeButtonClicked(EdBaseController.HomeButton)

    Flickable {
        id: scroller

        anchors.fill: parent
        contentWidth: width
        contentHeight: column.height + 32
        clip: true

        Column {
            id: column

            x: 16
            y: 16
            width: scroller.width - 32
            spacing: 10

            Text {
                id: lbTitle

                objectName: "lbTitle"
                width: parent.width
                text: screen.controller.newsTitle
                color: HsStyle.ink
                font.pixelSize: HsStyle.fontTitle
                font.bold: true
                wrapMode: Text.Wrap
            }

            Text {
                width: parent.width
                text: screen.controller.publicDate
                color: HsStyle.inkMuted
                font.pixelSize: HsStyle.fontSmall
                visible: text.length > 0
            }

            TextArea {
                id: textContent

                objectName: "textContent"
                width: parent.width
                readOnly: true
                wrapMode: TextEdit.Wrap
                text: screen.controller.newsContent
                color: HsStyle.inkBody
                font.pixelSize: HsStyle.fontText
                padding: 0
                leftPadding: 0
                rightPadding: 0
                background: null
                Accessible.name: "正文"
            }

            Column {
                objectName: "replyBox"
                width: parent.width
                spacing: 8
                visible: screen.controller.canReply

                Rectangle {
                    width: parent.width
                    height: 1
                    color: HsStyle.separator
                }

                Row {
                    width: parent.width
                    spacing: 8

                    Button {
                        objectName: "readButton"
                        width: 64
                        height: 36
                        text: "已阅"
                        Accessible.name: text
                        onClicked: screen.controller.pressRead()
                    }

                    TextField {
                        objectName: "replyField"
                        width: parent.width - 64 - 64 - 16
                        height: 36
                        placeholderText: "写下您的回复"
                        Accessible.name: "回复内容"
                        font.pixelSize: HsStyle.fontBody
                        text: screen.controller.replyText
                        onTextEdited: screen.controller.replyText = text
                        onAccepted: screen.controller.pressReply()
                    }

                    Button {
                        objectName: "replyButton"
                        width: 64
                        height: 36
                        text: "回复"
                        Accessible.name: text
                        onClicked: screen.controller.pressReply()
                    }
                }
            }

            Text {
                objectName: "repliersLine"
                width: parent.width
                visible: !screen.controller.repliesFailed
                         && (screen.controller.showsReplies || (screen.controller.canReply && replyList.count > 0))
                text: screen.controller.showsReplies ? screen.controller.repliersText : "我的回复"
                color: HsStyle.accent
                font.pixelSize: HsStyle.fontBody
                font.bold: true
            }

            // Replies that could not be fetched are not a count: the line says so and fetches
            // them again when tapped.
            ItemDelegate {
                id: retryReplies

                objectName: "retryReplies"
                width: parent.width
                height: 36
                visible: screen.controller.repliesFailed
                         && (screen.controller.showsReplies || screen.controller.canReply)
                text: screen.controller.repliersText
                Accessible.name: text
                padding: 0
                onClicked: screen.controller.retryReplies()

                contentItem: Text {
                    text: retryReplies.text
                    color: HsStyle.error
                    font.pixelSize: HsStyle.fontBody
                    font.bold: true
                    verticalAlignment: Text.AlignVCenter
                }

                background: Rectangle {
                    color: retryReplies.pressed ? HsStyle.rule : "transparent"
                    radius: 6
                }
            }

            Repeater {
                id: replyList

                model: screen.controller.showsReplies || screen.controller.canReply ? screen.controller.replies : null

                delegate: Rectangle {
                    id: reply

                    required property string userName
                    required property string rtDate
                    required property string rtContent

                    width: column.width
                    height: replyText.y + replyText.height + 10
                    radius: 6
                    color: "white"
                    Accessible.role: Accessible.StaticText
                    Accessible.name: userName + "：" + rtContent

                    Text {
                        x: 10
                        y: 8
                        text: reply.userName
                        color: HsStyle.ink
                        font.pixelSize: HsStyle.fontCaption
                        font.bold: true
                    }

                    Text {
                        anchors.right: parent.right
                        anchors.rightMargin: 10
                        y: 8
                        text: reply.rtDate
                        color: HsStyle.inkMuted
                        font.pixelSize: HsStyle.fontTiny
                    }

                    Text {
                        id: replyText

                        x: 10
                        y: 28
                        width: parent.width - 20
                        text: reply.rtContent
                        color: HsStyle.inkBody
                        font.pixelSize: HsStyle.fontBody
                        wrapMode: Text.Wrap
                    }
                }
            }
        }
    }
}
