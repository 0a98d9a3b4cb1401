pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls.Basic
import HsSchool

// The password change: old password, new password and the new one again, then the button.
EdBaseViewController {
    id: screen

    required property HsModifyPassController controller

    title: "修改密码"
    onBackPressed: screen.controller.pressButton(HsModifyPassController.Back)

    MouseArea {
        anchors.fill: parent
        onClicked: screen.forceActiveFocus()
    }

    Rectangle {
        id: form

        x: 10
        anchors.top: parent.top
        anchors.topMargin: 18
        width: parent.width - 20
        height: 3 * 46
        radius: 6
        color: "white"
        border.color: HsStyle.fieldBorder

        Column {
            anchors.fill: parent

            Repeater {
                id: fields

                model: [
                    { "caption": "原密码", "placeholder": "请输入原密码", "key": "textOldPass" },
                    { "caption": "新密码", "placeholder": "请输入新密码", "key": "textNewPass" },
                    { "caption": "确认密码", "placeholder": "请再次输入新密码", "key": "textChkPass" }
                ]

                delegate: Item {
                    required property var modelData
                    required property int index
                    property alias field: input

                    width: form.width
                    height: 46

                    Text {
                        x: 14
                        anchors.verticalCenter: parent.verticalCenter
                        text: parent.modelData.caption
                        color: HsStyle.ink
                        font.pixelSize: HsStyle.fontText
                    }

                    TextField {
                        id: input

                        objectName: parent.modelData.key
                        x: 92
                        anchors.verticalCenter: parent.verticalCenter
                        width: parent.width - x - 10
                        height: 30
                        background: null
                        padding: 0
                        font.pixelSize: HsStyle.fontText
                        color: HsStyle.inkInput
                        placeholderText: parent.modelData.placeholder
                        Accessible.name: parent.modelData.caption
                        placeholderTextColor: HsStyle.placeholder
                        echoMode: TextInput.Password
                        inputMethodHints: Qt.ImhNoPredictiveText | Qt.ImhSensitiveData
                        text: screen.controller[parent.modelData.key]
                        onTextEdited: screen.controller[parent.modelData.key] = text
                        onAccepted: focus = false
                    }

                    Rectangle {
                        x: 14
                        anchors.bottom: parent.bottom
                        width: parent.width - 28
                        height: 1
                        color: HsStyle.rule
                        visible: parent.index < 2
                    }
                }
            }
        }
    }

    Text {
        id: hint

        x: 16
        anchors.top: form.bottom
        anchors.topMargin: 10
        width: parent.width - 32
        wrapMode: Text.Wrap
        text: "修改成功后，请使用新密码登录。"
        color: HsStyle.inkHint
        font.pixelSize: HsStyle.fontSmall
    }

    HsPrimaryButton {
        id: submit

        objectName: "submit"
        x: 20
        anchors.top: hint.bottom
        anchors.topMargin: 22
        width: parent.width - 40
        text: "确认修改"
        onClicked: screen.controller.pressButton(HsModifyPassController.Submit)
    }

    Connections {
        target: screen.controller

        function onKeyboardDismissed() {
            for (let i = 0; i < fields.count; ++i)
                fields.itemAt(i).field.focus = false;
        }
    }
}
