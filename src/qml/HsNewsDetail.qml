import QtQuick
import QtQuick.Controls.Basic

// One notice or news item: its title, date and whole text, under the title bar with the back
// button. It stays blank until the item has been fetched.
EdBaseViewController {
    id: screen

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
                text: screen.controller ? screen.controller.newsTitle : ""
                color: "#222a33"
                font.pixelSize: 19
                font.bold: true
                wrapMode: Text.Wrap
            }

            Text {
                width: parent.width
                text: screen.controller ? screen.controller.publicDate : ""
                color: "#8a94a0"
                font.pixelSize: 12
                visible: text.length > 0
            }

            TextArea {
                id: textContent

                objectName: "textContent"
                width: parent.width
                readOnly: true
                wrapMode: TextEdit.Wrap
                text: screen.controller ? screen.controller.newsContent : ""
                color: "#33404d"
                font.pixelSize: 15
                padding: 0
                leftPadding: 0
                rightPadding: 0
                background: null
                Accessible.name: "正文"
            }
        }
    }
}
