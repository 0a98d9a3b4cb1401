pragma ComponentBehavior: Bound

import QtQuick
import HsSchool

// The signed-in user's profile: name, account and phone on a card, then the record's rows.
EdBaseViewController {
    id: screen

    required property HsUserInfoController controller

    title: "个人信息"
    onBackPressed: screen.controller.pressButton(HsUserInfoController.Back)

    Rectangle {
        id: card

        anchors.top: parent.top
        anchors.topMargin: 12
        width: parent.width
        height: 92
        color: "white"

        Rectangle {
            id: avatar

            x: 16
            anchors.verticalCenter: parent.verticalCenter
            width: 60
            height: 60
            radius: 30
            color: HsStyle.accentBright

            Text {
                anchors.centerIn: parent
                text: screen.controller.realName.length > 0 ? screen.controller.realName.charAt(0) : "?"
                color: "white"
                font.pixelSize: HsStyle.fontAvatar
            }
        }

        Column {
            x: avatar.x + avatar.width + 14
            width: parent.width - x - 12
            anchors.verticalCenter: parent.verticalCenter
            spacing: 5

            Text {
                id: realName

                width: parent.width
                elide: Text.ElideRight
                text: screen.controller.realName
                color: HsStyle.ink
                font.pixelSize: HsStyle.fontHeading
                font.bold: true
            }

            Text {
                id: userName

                width: parent.width
                elide: Text.ElideRight
                text: "账号：" + screen.controller.userName
                color: HsStyle.inkLabel
                font.pixelSize: HsStyle.fontCaption
            }

            Text {
                id: phone

                width: parent.width
                elide: Text.ElideRight
                text: "电话：" + screen.controller.phone
                color: HsStyle.inkLabel
                font.pixelSize: HsStyle.fontCaption
            }
        }
    }

    ListView {
        id: tableUser

        objectName: "tableUser"
        anchors.top: card.bottom
        anchors.topMargin: 12
        anchors.bottom: parent.bottom
        width: parent.width
        clip: true
        interactive: contentHeight > height
        boundsBehavior: Flickable.StopAtBounds
        model: screen.controller.tableUser

        // A mark for each row of the record, in row order: school, class, address, father and
        // his work, mother and her work.
        readonly property var marks: ["profile_school", "profile_class", "profile_address", "profile_father",
            "profile_work", "profile_mother", "profile_work"]

        delegate: Rectangle {
            id: row

            required property string display
            required property int index

            width: tableUser.width
            height: 45
            color: "white"

            Image {
                x: 16
                anchors.verticalCenter: parent.verticalCenter
                width: 24
                height: 24
                source: "images/" + tableUser.marks[row.index] + ".png"
            }

            Text {
                id: caption

                objectName: "caption"
                x: 52
                width: 64
                anchors.verticalCenter: parent.verticalCenter
                text: screen.controller.captions[row.index]
                color: HsStyle.inkLabel
                font.pixelSize: HsStyle.fontBody
            }

            Text {
                objectName: "value"
                x: caption.x + caption.width + 8
                width: parent.width - x - 16
                anchors.verticalCenter: parent.verticalCenter
                wrapMode: Text.Wrap
                maximumLineCount: 2
                elide: Text.ElideRight
                lineHeight: 0.95
                text: row.display
                color: HsStyle.ink
                font.pixelSize: HsStyle.fontText
            }

            Rectangle {
                x: row.index === tableUser.count - 1 ? 0 : 52
                anchors.bottom: parent.bottom
                width: parent.width - x
                height: 1
                color: HsStyle.separator
            }
        }
    }
}
