pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls.Basic
import HsSchool

// The settings list: grouped rows, each with its caption and a disclosure mark.
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
            readonly property bool isLastOfSection: cell.ListView.nextSection !== cell.ListView.section
            // Each section starts 20 px below the one before.
            readonly property int sectionGap: cell.row === 0 ? 20 : 0

            width: tableSetting.width
            height: 45 + sectionGap
            padding: 0
            topPadding: sectionGap
            topInset: sectionGap
            text: caption
            Accessible.name: caption
            onClicked: screen.controller.willSelectRow(cell.section, cell.row)

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
                Text {
                    x: 16
                    anchors.verticalCenter: parent.verticalCenter
                    text: cell.caption
                    color: cell.sectionKey === "quit" ? HsStyle.danger : HsStyle.ink
                    font.pixelSize: HsStyle.fontLarge
                }

                Text {
                    anchors.right: parent.right
                    anchors.rightMargin: 14
                    anchors.verticalCenter: parent.verticalCenter
                    text: "›"
                    color: HsStyle.inkChevron
                    font.pixelSize: HsStyle.fontChevron
                }
            }
        }
    }
}
