import QtQuick

// The settings list: grouped rows, each with its caption and a disclosure mark.
EdBaseViewController {
    id: screen

    ListView {
        id: tableSetting

        objectName: "tableSetting"
        anchors.fill: parent
        clip: true
        model: screen.controller ? screen.controller.tableSetting : null
        boundsBehavior: Flickable.StopAtBounds

        section.property: "sectionKey"
        section.delegate: Item {
            width: tableSetting.width
            height: 20
        }

        delegate: Rectangle {
            id: cell

            required property int section
            required property int row
            required property string caption
            required property string sectionKey
            readonly property bool isLastOfSection: cell.ListView.nextSection !== cell.ListView.section

            width: tableSetting.width
            height: 45
            color: tap.pressed ? "#e8eef5" : "white"

            Rectangle {
                width: parent.width
                height: 1
                color: "#dfe5ec"
                visible: cell.row === 0
            }

            Text {
                x: 16
                anchors.verticalCenter: parent.verticalCenter
                text: cell.caption
                color: cell.sectionKey === "quit" ? "#e0483b" : "#222a33"
                font.pixelSize: 16
            }

            Text {
                anchors.right: parent.right
                anchors.rightMargin: 14
                anchors.verticalCenter: parent.verticalCenter
                text: "›"
                color: "#b4bcc6"
                font.pixelSize: 24
            }

            Rectangle {
                x: cell.isLastOfSection ? 0 : 16
                anchors.bottom: parent.bottom
                width: parent.width - x
                height: 1
                color: "#dfe5ec"
            }

            MouseArea {
                id: tap

                anchors.fill: parent
                onClicked: screen.controller.willSelectRow(cell.section, cell.row)
            }
        }
    }
}
