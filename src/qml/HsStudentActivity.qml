pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls.Basic
import HsSchool

// The student record area: four category buttons with the sliding pointer, the records pulled
// down to reload, and the post box where the category and the role allow posting. The post box
// stays above an on-screen keyboard. Posts not sent yet head their list with a button to send them.
Item {
    id: area

    required property HsStudentActivityController controller
    readonly property var categoryNames: ["作业", "成绩", "状态", "交流"]
    // Held untyped: the linter of this Qt gives the object another type than the one it has.
    readonly property var inputMethod: Qt.inputMethod
    readonly property real keyboardHeight: inputMethod.visible ? inputMethod.keyboardRectangle.height : 0

    Rectangle {
        anchors.fill: parent
        color: HsStyle.page
    }

    HsTitleBar {
        id: titleBar

        title: area.controller.title
        showsSettings: true
        onSettingsPressed: area.controller.pressSetting()
    }

    Item {
        id: scrollView

        anchors.top: titleBar.bottom
        width: parent.width
        height: 33

        HsStretchedImage {
            anchors.fill: parent
            source: "images/bg_top_nav.png"
            tiled: true
        }

        HsStretchedImage {
            id: iMenuPointer

            // Centred under the button of the shown category.
            readonly property int shown: Math.max(1, Math.min(4, area.controller.category))
            readonly property real buttonWidth: scrollView.width / 4

            width: 64
            height: 26
            x: (shown - 1) * buttonWidth + (buttonWidth - width) / 2
            y: (scrollView.height - height) / 2
            source: "images/hmbutton.png"

            Behavior on x { NumberAnimation { duration: 200; easing.type: Easing.Linear } }
        }

        Row {
            anchors.fill: parent

            Repeater {
                id: buttons

                model: area.categoryNames

                delegate: AbstractButton {
                    id: button

                    required property int index
                    required property string modelData

                    width: scrollView.width / 4
                    height: scrollView.height
                    text: modelData
                    Accessible.name: modelData
                    onClicked: area.controller.pressCategory(button.index + 1)

                    contentItem: Text {
                        text: button.modelData
                        color: "white"
                        font.pixelSize: HsStyle.fontText
                        horizontalAlignment: Text.AlignHCenter
                        verticalAlignment: Text.AlignVCenter
                    }
                }
            }
        }
    }

    HsLocalSearchBar {
        id: searchBar

        anchors.top: scrollView.bottom
        width: parent.width
        search: area.controller.search
    }

    HsRefreshList {
        id: tableShow

        objectName: "tableShow"
        anchors.top: searchBar.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: viewPost.visible ? viewPost.top : parent.bottom
        visible: !area.controller.search.active
        model: area.controller.datas
        refreshHeader: area.controller.refreshHeader
        paging: area.controller.paging
        onLoadMoreRequested: area.controller.loadMore()

        // All rows are of the kind of the records shown: chat messages, or homework-like rows.
        delegate: area.controller.datas.kind === HsStudentRecordModel.Chat ? chatCell : homeWorkCell
    }

    HsLocalSearchResults {
        anchors.fill: tableShow
        search: area.controller.search
    }

    Component {
        id: chatCell

        CellChat {
            id: chat

            required property int outboxState

            width: tableShow.width
            postState: outboxState
            onClicked: area.controller.didSelectRow(chat.index)
            onResendClicked: area.controller.resendRow(chat.index)
        }
    }

    Component {
        id: homeWorkCell

        CellHomeWork {
            id: homeWork

            required property int outboxState

            width: tableShow.width
            postState: outboxState
            onClicked: area.controller.didSelectRow(homeWork.index)
            onResendClicked: area.controller.resendRow(homeWork.index)
        }
    }

    Rectangle {
        id: viewPost

        objectName: "viewPost"
        width: parent.width
        height: 50
        y: parent.height - height - Math.max(0, area.keyboardHeight - 49)
        // Hidden while search results take the list's place.
        visible: area.controller.postBoxVisible && !area.controller.search.active
        color: HsStyle.panel

        Behavior on y { NumberAnimation { duration: 250; easing.type: Easing.OutCubic } }

        Rectangle {
            width: parent.width
            height: 1
            color: HsStyle.separator
        }

        TextField {
            id: tfPost

            objectName: "tfPost"
            x: 10
            anchors.verticalCenter: parent.verticalCenter
            width: parent.width - 90
            height: 34
            placeholderText: "请输入内容"
            Accessible.name: "发布内容"
            font.pixelSize: HsStyle.fontText
            text: area.controller.postText
            onTextEdited: area.controller.postText = text
            onAccepted: focus = false
        }

        Button {
            objectName: "postButton"
            anchors.right: parent.right
            anchors.rightMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            width: 64
            height: 34
            text: "发布"
            Accessible.name: text
            onClicked: area.controller.pressPost()
        }
    }

    Connections {
        target: area.controller

        function onKeyboardDismissed() {
            tfPost.focus = false;
            area.inputMethod.hide();
        }
    }
}
