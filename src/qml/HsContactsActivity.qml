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

    HsAreaHeader {
        id: header

        title: area.controller.title
        menu: area.controller.menu
        onSettingsPressed: area.controller.pressSetting()
        onCategoryPressed: tag => area.controller.pressCategory(tag)
    }

    ListView {
        id: tableView

        objectName: "tableView"
        anchors.top: header.bottom
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
