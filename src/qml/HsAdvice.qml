import QtQuick
import QtQuick.Controls.Basic

// Feedback: a framed text view and the send button.
Item {
    id: screen

    property QtObject controller

    Rectangle {
        anchors.fill: parent
        color: "#eef2f7"
    }

    MouseArea {
        anchors.fill: parent
        onClicked: screen.forceActiveFocus()
    }

    HsTitleBar {
        id: bar

        title: "意见反馈"
        showsBack: true
        onBackPressed: screen.controller.pressButton(1)
    }

    Text {
        id: intro

        x: 12
        anchors.top: bar.bottom
        anchors.topMargin: 14
        width: parent.width - 24
        wrapMode: Text.Wrap
        text: "您在使用中遇到的问题和对我们的建议，都可以写在这里。"
        color: "#5f6b78"
        font.pixelSize: 14
    }

    Rectangle {
        id: frame

        x: 12
        anchors.top: intro.bottom
        anchors.topMargin: 10
        width: parent.width - 24
        height: 180
        radius: 8
        clip: true
        color: "white"
        border.width: 1
        border.color: Qt.rgba(0.2, 0.2, 0.2, 1)

        Flickable {
            id: scroller

            anchors.fill: parent
            anchors.margins: 1
            clip: true
            boundsBehavior: Flickable.StopAtBounds

            TextArea.flickable: TextArea {
                id: textAdvice

                objectName: "textAdvice"
                wrapMode: TextEdit.Wrap
                padding: 10
                background: null
                placeholderText: "请输入您的意见或建议"
                placeholderTextColor: "#a0a6ad"
                color: "#222222"
                font.pixelSize: 15
                text: screen.controller ? screen.controller.textAdvice : ""
                onTextChanged: {
                    if (screen.controller)
                        screen.controller.textAdvice = text;
                }
            }
        }
    }

    Button {
        id: submit

        objectName: "submit"
        x: 20
        anchors.top: frame.bottom
        anchors.topMargin: 22
        width: parent.width - 40
        height: 44
        text: "提  交"
        font.pixelSize: 18
        onClicked: screen.controller.pressButton(2)

        contentItem: Text {
            text: submit.text
            font: submit.font
            color: "white"
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
        }
        background: Rectangle {
            radius: 6
            color: submit.down ? "#1f6fc4" : "#2f86e0"
        }
    }

    Connections {
        target: screen.controller

        function onKeyboardDismissed() {
            textAdvice.focus = false;
        }
    }
}
