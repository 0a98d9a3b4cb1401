pragma ComponentBehavior: Bound

import QtQuick
import HsSchool

// The small drawn icon of the tab button tagged `tag`.
Item {
    id: icon

    property int tag: MainTabModel.StudentTab
    property bool active: false
    readonly property color ink: active ? HsStyle.accent : HsStyle.inkIconIdle

    width: 24
    height: 24

    // Student: a head and shoulders.
    Item {
        anchors.fill: parent
        visible: icon.tag === MainTabModel.StudentTab

        Rectangle {
            x: 7; y: 1; width: 10; height: 10; radius: 5
            color: icon.ink
        }
        Rectangle {
            x: 2; y: 13; width: 20; height: 11; radius: 6
            color: icon.ink
        }
    }

    // Notices: a sheet with lines of text.
    Rectangle {
        x: 3; y: 1; width: 18; height: 22; radius: 2
        visible: icon.tag === MainTabModel.NoticesTab
        color: "transparent"
        border.color: icon.ink
        border.width: 2

        Column {
            x: 4; y: 5; spacing: 3
            Repeater {
                model: 3
                Rectangle { width: 10; height: 2; color: icon.ink }
            }
        }
    }

    // News: a page with a picture and lines.
    Rectangle {
        x: 1; y: 3; width: 22; height: 18; radius: 2
        visible: icon.tag === MainTabModel.NewsTab
        color: "transparent"
        border.color: icon.ink
        border.width: 2

        Rectangle { x: 4; y: 4; width: 6; height: 6; color: icon.ink }
        Rectangle { x: 12; y: 4; width: 6; height: 2; color: icon.ink }
        Rectangle { x: 12; y: 8; width: 6; height: 2; color: icon.ink }
        Rectangle { x: 4; y: 12; width: 14; height: 2; color: icon.ink }
    }

    // Resources: four tiles.
    Grid {
        x: 2; y: 2
        visible: icon.tag === MainTabModel.ResourcesTab
        columns: 2
        spacing: 4
        Repeater {
            model: 4
            Rectangle { width: 8; height: 8; radius: 2; color: icon.ink }
        }
    }

    // Contacts: an address book with a person on its cover.
    Rectangle {
        x: 3; y: 1; width: 18; height: 22; radius: 2
        visible: icon.tag === MainTabModel.ContactsTab
        color: "transparent"
        border.color: icon.ink
        border.width: 2

        Rectangle { x: 6; y: 4; width: 6; height: 6; radius: 3; color: icon.ink }
        Rectangle { x: 3; y: 11; width: 12; height: 6; radius: 3; color: icon.ink }
    }
}
