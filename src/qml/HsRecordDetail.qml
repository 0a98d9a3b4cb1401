import QtQuick
import QtQuick.Controls.Basic
import HsSchool

// One record of the student record: its whole text and its date line.
EdBaseViewController {
    id: screen

    required property HsRecordDetailController controller

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
                objectName: "dateLine"
                width: parent.width
                text: screen.controller.dateLine
                color: HsStyle.inkMuted
                font.pixelSize: HsStyle.fontCaption
            }

            TextArea {
                objectName: "textContent"
                width: parent.width
                readOnly: true
                wrapMode: TextEdit.Wrap
                text: screen.controller.text
                color: HsStyle.ink
                font.pixelSize: HsStyle.fontLarge
                padding: 0
                leftPadding: 0
                rightPadding: 0
                background: null
                Accessible.name: "正文"
            }
        }
    }
}
