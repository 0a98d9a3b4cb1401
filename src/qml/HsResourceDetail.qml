import QtQuick
import QtQuick.Controls.Basic
import HsSchool

// One resource: its title, its picture (shown when it has arrived) and its text, under the
// title bar with the back button. It stays blank until the resource has been fetched.
EdBaseViewController {
    id: screen

    required property HsResourceDetailController controller

    title: controller.title
    onBackPressed: controller.homeButtonClicked(EdBaseController.HomeButton)

    // The picture is decoded only as large as it is shown.
    Binding {
        target: screen.controller.picture
        property: "shownSize"
        value: Qt.size(column.width * Screen.devicePixelRatio, Math.round(column.width * 5 / 8) * Screen.devicePixelRatio)
    }

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
            spacing: 12

            Text {
                id: lbTitle

                objectName: "lbTitle"
                width: parent.width
                text: screen.controller.resTitle
                color: HsStyle.ink
                font.pixelSize: HsStyle.fontTitle
                font.bold: true
                wrapMode: Text.Wrap
            }

            NetImagePicture {
                id: ivResource

                objectName: "ivResource"
                width: parent.width
                height: visible ? Math.round(width * 5 / 8) : 0
                source: screen.controller.picture
                visible: source !== null && source.hasPicture
            }

            TextArea {
                id: textContent

                objectName: "textContent"
                width: parent.width
                readOnly: true
                wrapMode: TextEdit.Wrap
                text: screen.controller.resContent
                color: HsStyle.inkBody
                font.pixelSize: HsStyle.fontText
                padding: 0
                background: null
                Accessible.name: "正文"
            }
        }
    }
}
