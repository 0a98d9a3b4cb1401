import QtQuick
import HsSchool

// The login screen: role, account and password, the two options, and the sign-in, forgotten
// password and help buttons. From the keyboard: Tab goes account, password, sign-in; Return in
// either field signs in; Space toggles the focused check button.
Item {
    id: screen

    required property HsLoginScreenController controller
    property int badgeNumber: 0
    readonly property real halfWidth: width / 2

    Rectangle {
        anchors.fill: parent
        color: HsStyle.page
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
            font.pixelSize: HsStyle.fontLogo
            font.bold: true
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            y: 94
            text: "老师和家长一起关注孩子的成长"
            color: HsStyle.loginSubtitle
            font.pixelSize: HsStyle.fontBody
        }

        HsBadge {
            x: parent.width - width - 12
            y: 12
            number: screen.badgeNumber
        }
    }

    RadioCheckButton {
        x: screen.halfWidth - 110
        y: 167
        width: 120
        height: 25
        button: screen.controller.cbLoginTeacher
    }

    RadioCheckButton {
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
        border.color: HsStyle.fieldBorder

        HsFormRow {
            id: accountRow

            width: parent.width
            icon: "images/pic23.png"
            placeholder: "请输入邮箱"
            label: "邮箱"
            text: screen.controller.account
            field.KeyNavigation.tab: passwordRow.field
            onEdited: text => screen.controller.account = text
            onSubmitted: screen.controller.pressButton(HsLoginScreenController.SignIn)
        }

        Rectangle {
            x: 10
            y: 44
            width: parent.width - 20
            height: 1
            color: HsStyle.rule
        }

        HsFormRow {
            id: passwordRow

            y: 44
            width: parent.width
            icon: "images/pic24.png"
            placeholder: "请输入密码"
            label: "密码"
            secure: true
            text: screen.controller.password
            field.KeyNavigation.tab: signIn
            onEdited: text => screen.controller.password = text
            onSubmitted: screen.controller.pressButton(HsLoginScreenController.SignIn)
        }
    }

    HsPrimaryButton {
        id: signIn

        x: 20
        y: 313
        width: parent.width - 40
        text: "登  录"
        enabled: !screen.controller.signingIn
        onClicked: screen.controller.pressButton(HsLoginScreenController.SignIn)
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
        id: links

        anchors.horizontalCenter: parent.horizontalCenter
        y: 417
        spacing: 24

        HsLinkButton {
            text: "忘记密码？"
            onClicked: screen.controller.pressButton(HsLoginScreenController.ForgottenPassword)
        }

        HsLinkButton {
            text: "使用帮助"
            onClicked: screen.controller.pressButton(HsLoginScreenController.Help)
        }
    }

    // At the foot of the screen, or just under the links on a short one.
    Text {
        anchors.horizontalCenter: parent.horizontalCenter
        y: Math.max(links.y + links.height + 4, parent.height - height - 16)
        text: "教师请选择“教师”，家长请选择“家长”登录"
        color: HsStyle.inkHint
        font.pixelSize: HsStyle.fontSmall
    }

    Connections {
        target: screen.controller

        function onKeyboardDismissed() {
            accountRow.field.focus = false;
            passwordRow.field.focus = false;
        }
    }
}
