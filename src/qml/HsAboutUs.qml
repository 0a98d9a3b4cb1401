import QtQuick
import QtQuick.Controls.Basic
import HsSchool

// One of the fixed texts (about, contact, version) under the application's mark.
EdBaseViewController {
    id: screen

    required property HsAboutUsController controller

    title: controller.title
    onBackPressed: controller.homeButtonClicked(EdBaseController.HomeButton)

    Flickable {
        anchors.fill: parent
        contentHeight: page.height
        clip: true
        boundsBehavior: Flickable.StopAtBounds

        Column {
            id: page

            width: parent.width
            topPadding: 24
            bottomPadding: 24
            spacing: 10

            Image {
                anchors.horizontalCenter: parent.horizontalCenter
                width: 72
                height: 72
                source: "images/logo.png"
                fillMode: Image.PreserveAspectFit
            }

            Text {
                anchors.horizontalCenter: parent.horizontalCenter
                text: "家校沟通"
                color: HsStyle.ink
                font.pixelSize: HsStyle.fontHeading
                font.bold: true
            }

            Item {
                width: 1
                height: 6
            }

            Rectangle {
                x: 12
                width: parent.width - 24
                height: textAbout.implicitHeight
                radius: 8
                color: "white"
                border.color: HsStyle.separator

                TextArea {
                    id: textAbout

                    objectName: "textAbout"
                    Accessible.name: screen.title
                    anchors.fill: parent
                    readOnly: true
                    wrapMode: TextEdit.Wrap
                    padding: 14
                    background: null
                    text: screen.controller.textAbout
                    color: HsStyle.inkSoft
                    font.pixelSize: HsStyle.fontText
                }
            }
        }
    }
}
