import QtQuick
import QtQuick.Controls.Basic

// The help page behind the login screen.
EdBaseViewController {
    id: screen

    Flickable {
        anchors.fill: parent
        anchors.margins: 16
        contentHeight: helpText.height
        clip: true

        Text {
            id: helpText

            width: parent.width
            wrapMode: Text.Wrap
            lineHeight: 1.3
            color: "#333a42"
            font.pixelSize: 15
            text: "如何登录\n"
                  + "老师请选择“教师”，家长请选择“家长”，输入学校发放的账号和密码后点“登录”。\n\n"
                  + "记住密码与自动登录\n"
                  + "勾选“记住密码”后，下次打开时会自动填好密码；勾选“自动登录”后，下次打开时直接登录。"
                  + "在公用手机上请不要勾选。\n\n"
                  + "登录以后\n"
                  + "底部的五个按钮分别进入学生动态、学校通知、新闻资讯、本地资源和通讯录；"
                  + "每个页面右上角的“设置”可以查看个人信息、修改密码和提交意见反馈。\n\n"
                  + "无法登录？\n"
                  + "请先检查手机网络是否可用；如果忘记了密码，请联系班主任或学校管理员。"
        }
    }
}
