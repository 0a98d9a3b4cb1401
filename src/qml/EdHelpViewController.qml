pragma ComponentBehavior: Bound

import QtQuick
import HsSchool

// The help page behind the login screen.
EdBaseViewController {
    id: screen

    required property EdHelpController controller

    title: controller.title
    onBackPressed: controller.homeButtonClicked(EdBaseController.HomeButton)

    Flickable {
        anchors.fill: parent
        contentHeight: sections.height + 32
        clip: true

        Column {
            id: sections

            x: 16
            y: 16
            width: parent.width - 32
            spacing: 18

            Repeater {
                model: [
                    { "heading": "如何登录",
                      "body": "老师请选择“教师”，家长请选择“家长”，输入学校发放的账号和密码后点“登录”。" },
                    { "heading": "记住密码与自动登录",
                      "body": "勾选“记住密码”后，下次打开时会自动填好密码；勾选“自动登录”后，下次打开时直接登录。在公用手机上请不要勾选。" },
                    { "heading": "登录以后",
                      "body": "底部的五个按钮分别进入学生动态、学校通知、新闻资讯、本地资源和通讯录；每个页面右上角的“设置”可以查看个人信息、修改密码和提交意见反馈。" },
                    { "heading": "无法登录？",
                      "body": "请先检查手机网络是否可用；如果忘记了密码，请联系班主任或学校管理员。" }
                ]

                delegate: Column {
                    id: section

                    required property var modelData

                    width: sections.width
                    spacing: 6

                    Text {
                        width: parent.width
                        text: section.modelData.heading
                        color: HsStyle.accent
                        font.pixelSize: HsStyle.fontLarge
                        font.bold: true
                    }

                    Text {
                        width: parent.width
                        text: section.modelData.body
                        wrapMode: Text.Wrap
                        lineHeight: 1.25
                        color: HsStyle.inkSoft
                        font.pixelSize: HsStyle.fontText
                    }
                }
            }
        }
    }
}
