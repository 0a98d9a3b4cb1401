pragma ComponentBehavior: Bound

import QtQuick
import HsSchool

// The contacts area: the title bar, the category buttons 老师 and 同学, and the people of the
// chosen list, one row each.
Item {
    id: area

    required property HsContactsActivityController controller

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

    HsCategoryBar {
        id: scrollView

        anchors.top: titleBar.bottom
        width: parent.width
        menu: area.controller.menu
        onCategoryPressed: tag => area.controller.pressCategory(tag)
    }

    ListView {
        id: tableView

        objectName: "tableView"
        anchors.top: scrollView.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        clip: true
        reuseItems: true
        model: area.controller.datas

        delegate: CellStudent {
            width: tableView.width
        }
    }
}
