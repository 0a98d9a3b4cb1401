import QtQuick
import HsSchool

// The forgotten-password page behind the login screen.
EdBaseViewController {
    id: screen

    required property EdGetPassController controller

    title: controller.title
    onBackPressed: controller.homeButtonClicked(EdBaseController.HomeButton)

    Column {
        anchors.fill: parent
        anchors.margins: 16
        spacing: 14

        Text {
            width: parent.width
            text: "忘记密码了？"
            color: HsStyle.ink
            font.pixelSize: HsStyle.fontHeading
            font.bold: true
        }

        Text {
            width: parent.width
            wrapMode: Text.Wrap
            lineHeight: 1.3
            color: HsStyle.inkSoft
            font.pixelSize: HsStyle.fontText
            text: "为了保护孩子和家庭的信息，密码不能在手机上直接找回。\n\n"
                  + "家长：请联系孩子的班主任，由班主任为您重置密码。\n\n"
                  + "老师：请联系学校的管理员重置密码。\n\n"
                  + "重置以后，请用新密码登录，并在“设置 - 修改密码”中换成您自己的密码。"
        }
    }
}
