import QtQuick
import QtQuick.Controls.Basic
import HsSchool

// Feedback: a framed text view and the send button.
EdBaseViewController {
    id: screen

    required property HsAdviceController controller

    title: "意见反馈"
    onBackPressed: screen.controller.pressButton(HsAdviceController.Back)

    MouseArea {
        anchors.fill: parent
        onClicked: screen.forceActiveFocus()
    }

    Text {
        id: intro

        x: 12
        anchors.top: parent.top
        anchors.topMargin: 14
        width: parent.width - 24
        wrapMode: Text.Wrap
        text: "您在使用中遇到的问题和对我们的建议，都可以写在这里。"
        color: HsStyle.inkLabel
        font.pixelSize: HsStyle.fontBody
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
                Accessible.name: "意见或建议"
                wrapMode: TextEdit.Wrap
                padding: 10
                background: null
                placeholderText: "请输入您的意见或建议"
                placeholderTextColor: HsStyle.placeholder
                color: HsStyle.inkInput
                font.pixelSize: HsStyle.fontText
                text: screen.controller.textAdvice
                onTextChanged: screen.controller.textAdvice = text
            }
        }
    }

    HsPrimaryButton {
        id: submit

        objectName: "submit"
        x: 20
        anchors.top: frame.bottom
        anchors.topMargin: 22
        width: parent.width - 40
        text: "提  交"
        onClicked: screen.controller.pressButton(HsAdviceController.Submit)
    }

    Connections {
        target: screen.controller

        function onKeyboardDismissed() {
            textAdvice.focus = false;
        }
    }
}
