import QtQuick
import QtQuick.Controls.Basic

// The login screen: role, account and password, the two options, and the sign-in, forgotten
// password and help buttons.
Item {
    id: screen

    property QtObject controller
    readonly property real halfWidth: width / 2

    Rectangle {
        anchors.fill: parent
        color: "#eef2f7"
    }

    MouseArea {
        anchors.fill: parent
        onClicked: screen.forceActiveFocus()
    }

    Image {
        id: header

        width: parent.width
        height: 150
        source: "images/titleback.png"
        fillMode: Image.Stretch

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            y: 44
            text: "家校沟通"
            color: "white"
            font.pixelSize: 30
            font.bold: true
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            y: 94
            text: "老师和家长一起关注孩子的成长"
            color: "#dcebff"
            font.pixelSize: 14
        }

        HsBadge {
            x: parent.width - width - 12
            y: 12
            number: appDelegate ? appDelegate.badgeNumber : 0
        }
    }

    CheckButton {
        x: screen.halfWidth - 110
        y: 167
        width: 120
        height: 25
        button: screen.controller.cbLoginTeacher
    }

    CheckButton {
        x: screen.halfWidth + 40
        y: 167
        width: 120
        height: 25
        button: screen.controller.cbLoginStudent
    }

    Rectangle {
        id: form

        x: 10
        y: 207
        width: parent.width - 20
        height: 88
        radius: 6
        color: "white"
        border.color: "#d5dce4"

        HsFormRow {
            id: accountRow

            width: parent.width
            icon: "images/pic23.png"
            placeholder: "请输入邮箱"
            text: screen.controller.account
            onEdited: text => screen.controller.account = text
        }

        Rectangle {
            x: 10
            y: 44
            width: parent.width - 20
            height: 1
            color: "#e3e8ee"
        }

        HsFormRow {
            id: passwordRow

            y: 44
            width: parent.width
            icon: "images/pic24.png"
            placeholder: "请输入密码"
            secure: true
            text: screen.controller.password
            onEdited: text => screen.controller.password = text
        }
    }

    Button {
        id: signIn

        x: 20
        y: 313
        width: parent.width - 40
        height: 44
        text: "登  录"
        enabled: !screen.controller.signingIn
        font.pixelSize: 18
        onClicked: screen.controller.pressButton(1)

        contentItem: Text {
            text: signIn.text
            font: signIn.font
            color: "white"
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
        }
        background: Rectangle {
            radius: 6
            color: signIn.down ? "#1f6fc4" : (signIn.enabled ? "#2f86e0" : "#8fb8e6")
        }
    }

    CheckButton {
        x: screen.halfWidth - 125
        y: 375
        width: 120
        height: 25
        button: screen.controller.cbRemember
    }

    CheckButton {
        x: screen.halfWidth + 20
        y: 375
        width: 120
        height: 25
        button: screen.controller.cbAutoLogin
    }

    Row {
        anchors.horizontalCenter: parent.horizontalCenter
        y: 425
        spacing: 40

        HsLinkButton {
            text: "忘记密码？"
            onClicked: screen.controller.pressButton(2)
        }

        HsLinkButton {
            text: "使用帮助"
            onClicked: screen.controller.pressButton(3)
        }
    }

    Text {
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 16
        text: "教师请选择“教师”，家长请选择“家长”登录"
        color: "#8a939e"
        font.pixelSize: 12
    }

    Connections {
        target: screen.controller

        function onKeyboardDismissed() {
            accountRow.field.focus = false;
            passwordRow.field.focus = false;
        }
    }
}
