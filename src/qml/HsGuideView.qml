pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls.Basic

// The first-run guide: one picture per page, paged sideways without bouncing; a tap on a page
// is reported with the page's index.
Rectangle {
    id: guide

    property var images: []

    signal pageTapped(int index)

    color: "white"

    MouseArea {
        anchors.fill: parent
    }

    SwipeView {
        id: pages

        anchors.fill: parent
        Component.onCompleted: contentItem.boundsBehavior = Flickable.StopAtBounds

        Repeater {
            model: guide.images

            delegate: Item {
                id: page

                required property int index
                required property string modelData

                Image {
                    anchors.fill: parent
                    source: "images/" + page.modelData
                    fillMode: Image.PreserveAspectCrop
                    asynchronous: false
                }

                TapHandler {
                    onTapped: guide.pageTapped(page.index)
                }
            }
        }
    }
}
