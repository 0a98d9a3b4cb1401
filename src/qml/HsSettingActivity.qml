pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls.Basic
import HsSchool

// The settings list: grouped rows, each with its caption and a disclosure mark. The remembered
// accounts come under a heading of their own, each with its role and name, the signed-in one
// marked and every one with a button that forgets it.
EdBaseViewController {
    id: screen

    required property HsSettingActivityController controller

    title: controller.title
    onBackPressed: controller.homeButtonClicked(EdBaseController.HomeButton)

    ListView {
        id: tableSetting

        objectName: "tableSetting"
        anchors.fill: parent
        clip: true
        model: screen.controller.tableSetting
        boundsBehavior: Flickable.StopAtBounds

        section.property: "sectionKey"

        delegate: ItemDelegate {
            id: cell

            required property int section
            required property int row
            required property string caption
            required property string sectionKey
            required property string detail
            required property bool current
            readonly property bool isLastOfSection: cell.ListView.nextSection !== cell.ListView.section
            readonly property bool isAccount: cell.sectionKey === "accounts"
            // Each section starts 20 px below the one before; the accounts below their heading.
            readonly property int sectionGap: cell.row === 0 ? (cell.isAccount ? 44 : 20) : 0

            width: tableSetting.width
            height: (cell.isAccount ? 54 : 45) + sectionGap
            padding: 0
            topPadding: sectionGap
            topInset: sectionGap
            text: caption
            Accessible.name: cell.current ? caption + " 当前账号" : caption
            onClicked: screen.controller.willSelectRow(cell.section, cell.row)

            Text {
                x: 16
                y: cell.sectionGap - height - 6
                visible: cell.isAccount && cell.row === 0
                text: "切换账号"
                color: HsStyle.inkLabel
                font.pixelSize: HsStyle.fontCaption
            }

            background: Rectangle {
                color: cell.down ? HsStyle.pressed : (cell.visualFocus ? HsStyle.focused : "white")

                Rectangle {
                    width: parent.width
                    height: 1
                    color: HsStyle.separator
                    visible: cell.row === 0
                }

                Rectangle {
                    x: cell.isLastOfSection ? 0 : 16
                    anchors.bottom: parent.bottom
                    width: parent.width - x
                    height: 1
                    color: HsStyle.separator
                }
            }

            contentItem: Item {
                Column {
                    x: 16
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 2

                    Text {
                        text: cell.caption
                        color: cell.sectionKey === "quit" ? HsStyle.danger : HsStyle.ink
                        font.pixelSize: HsStyle.fontLarge
                    }

                    Text {
                        visible: cell.isAccount
                        text: cell.current ? cell.detail + "  · 当前账号" : cell.detail
                        color: cell.current ? HsStyle.accent : HsStyle.inkMuted
                        font.pixelSize: HsStyle.fontSmall
                    }
                }

                HsLinkButton {
                    anchors.right: parent.right
                    anchors.rightMargin: 6
                    anchors.verticalCenter: parent.verticalCenter
                    visible: cell.isAccount
                    text: "删除"
                    Accessible.name: "删除 " + cell.caption
                    onClicked: screen.controller.forgetAccount(cell.row)
                }

                Text {
                    anchors.right: parent.right
                    anchors.rightMargin: 14
                    anchors.verticalCenter: parent.verticalCenter
                    visible: !cell.isAccount
                    text: "›"
                    color: HsStyle.inkChevron
                    font.pixelSize: HsStyle.fontChevron
                }
            }
        }
    }
}
