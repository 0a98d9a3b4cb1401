import QtQuick
import QtQuick.Controls.Basic
import HsSchool

// The resources area: the title bar, the category bar ("推荐" and the resource types), then
// either the photo table (two resources a row) or the resource table under its search bar.
// The first time the area shows, its controller fetches "推荐".
Item {
    id: area

    required property HsResourceActivityController controller

    onVisibleChanged: if (visible && controller) controller.viewDidAppear()
    Component.onCompleted: if (visible && controller) controller.viewDidAppear()

    Rectangle {
        anchors.fill: parent
        color: HsStyle.page
    }

    HsAreaHeader {
        id: header

        title: area.controller.title
        menu: area.controller.menu
        updatedText: area.controller.updatedText
        onSettingsPressed: area.controller.pressSetting()
        onCategoryPressed: tag => area.controller.pressCategory(tag)
    }

    ListView {
        id: tablePhoto

        objectName: "tablePhoto"
        anchors.top: header.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        visible: area.controller.photoTableShown
        clip: true
        reuseItems: true
        model: area.controller.photoTable

        // qmllint disable unqualified
        delegate: CellResourcePhoto {
            width: tablePhoto.width
            onHalfClicked: half => area.controller.didSelectPhoto(index, half)
        }
        // qmllint enable unqualified
    }

    HsRefreshList {
        id: tableResurce

        objectName: "tableResurce"
        anchors.top: header.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        visible: !area.controller.photoTableShown
        boundsBehavior: Flickable.StopAtBounds
        model: area.controller.resourceTable
        paging: area.controller.paging
        onLoadMoreRequested: area.controller.loadMore()

        // A view's header reaches the area by its id: this Qt cannot make a view's header as a
        // bound component, which the linter would otherwise ask for.
        // qmllint disable unqualified
        header: Rectangle {
            id: searchBar

            width: tableResurce.width
            height: 44
            color: HsStyle.toolbarLine

            TextField {
                id: searchField

                objectName: "searchBar"
                x: 8
                y: 7
                width: parent.width - 16 - (cancelButton.visible ? cancelButton.width + 8 : 0)
                height: 30
                placeholderText: "请输入您要搜索的资源"
                text: area.controller.searchText
                font.pixelSize: HsStyle.fontBody
                inputMethodHints: Qt.ImhNoPredictiveText
                Accessible.name: "搜索资源"
                background: Rectangle {
                    radius: 6
                    color: "white"
                    border.color: HsStyle.toolbarButtonBorder
                }
                onTextEdited: area.controller.searchText = text
                onActiveFocusChanged: if (activeFocus) area.controller.searchBarTextDidBeginEditing()
                onAccepted: area.controller.searchBarSearchButtonClicked()

                Connections {
                    target: area.controller

                    function onKeyboardDismissed() {
                        searchField.focus = false;
                    }
                }
            }

            Button {
                id: cancelButton

                objectName: "searchCancel"
                x: parent.width - width - 8
                y: 7
                width: 52
                height: 30
                text: "取消"
                font.pixelSize: HsStyle.fontBody
                visible: area.controller.searchCancelShown
                Accessible.name: "取消搜索"
                onClicked: area.controller.searchBarCancelButtonClicked()
            }
        }

        delegate: CellResource {
            width: tableResurce.width
            onClicked: area.controller.didSelectRow(index)
        }
        // qmllint enable unqualified
    }
}
