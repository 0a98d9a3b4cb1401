pragma ComponentBehavior: Bound

import QtQuick
import HsSchool

// A list of headlines by category under the title bar: the category bar, then the headlines,
// pulled down to reload. The school notices and the news areas are both this screen.
Item {
    id: area

    required property HsNewsListActivity controller

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

    HsLocalSearchBar {
        id: searchBar

        anchors.top: header.bottom
        width: parent.width
        search: area.controller.search
    }

    HsRefreshList {
        id: tableNews

        objectName: "tableNews"
        anchors.top: searchBar.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        visible: !area.controller.search.active
        model: area.controller.newses
        refreshHeader: area.controller.refreshHeader
        paging: area.controller.paging
        onLoadMoreRequested: area.controller.loadMore()

        delegate: CellNews {
            width: tableNews.width
            onClicked: area.controller.didSelectRow(index)
        }
    }

    HsLocalSearchResults {
        anchors.fill: tableNews
        search: area.controller.search
    }
}
