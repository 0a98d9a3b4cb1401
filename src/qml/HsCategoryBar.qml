pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls.Basic
import HsSchool

// A horizontally scrolling bar of category buttons over the pattern "bg_top_nav.png", with the
// highlight "hmbutton.png" sliding behind the chosen one in 0.2 s. The model gives each button
// its tag, title and frame, and the highlight's frame.
Flickable {
    id: bar

    required property HsCategoryBarModel menu

    signal categoryPressed(int tag)

    height: 33
    contentWidth: menu ? menu.contentWidth : width
    contentHeight: height
    flickableDirection: Flickable.HorizontalFlick
    boundsBehavior: Flickable.StopAtBounds
    clip: true

    HsStretchedImage {
        x: 0
        width: Math.max(bar.width, bar.contentWidth)
        height: bar.height
        source: "images/bg_top_nav.png"
        tiled: true
    }

    HsStretchedImage {
        id: iMenuPointer

        readonly property rect target: bar.menu ? bar.menu.pointerFrame : Qt.rect(0, 0, 0, 0)

        x: target.x
        y: target.y
        width: target.width
        height: target.height
        visible: target.width > 0
        source: "images/hmbutton.png"

        Behavior on x { NumberAnimation { duration: 200; easing.type: Easing.Linear } }
        Behavior on width { NumberAnimation { duration: 200; easing.type: Easing.Linear } }
    }

    Repeater {
        model: bar.menu

        delegate: AbstractButton {
            id: button

            required property int tag
            required property string title
            required property rect frame

            x: frame.x
            y: frame.y
            width: frame.width
            height: frame.height
            text: title
            Accessible.name: title
            onPressed: bar.categoryPressed(tag)

            contentItem: Text {
                text: button.title
                color: "white"
                font.pixelSize: HsStyle.fontBody
                elide: Text.ElideRight
                horizontalAlignment: Text.AlignLeft
                verticalAlignment: Text.AlignVCenter
            }
        }
    }
}
