pragma ComponentBehavior: Bound

import QtQuick
import HsSchool

// What a search of the area found, in the list's place while the search field holds text; a tap
// on a row opens its detail.
Rectangle {
    id: panel

    required property HsLocalSearch search

    visible: search.active
    color: HsStyle.page

    ListView {
        id: results

        objectName: "localSearchResults"
        anchors.fill: parent
        clip: true
        reuseItems: true
        model: panel.search.results

        delegate: CellHomeWork {
            id: row

            width: results.width
            onClicked: panel.search.openResult(row.index)
        }
    }

    Text {
        objectName: "nothingFound"
        y: 40
        width: panel.width
        horizontalAlignment: Text.AlignHCenter
        visible: panel.search.nothingFound
        text: "没有找到相关内容"
        color: HsStyle.inkMuted
        font.pixelSize: HsStyle.fontBody
    }
}
