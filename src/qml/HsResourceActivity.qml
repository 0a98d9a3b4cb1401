import QtQuick

// An area of the main screen: its title bar with the settings button above its body.
Item {
    id: area

    property QtObject controller

    Rectangle {
        anchors.fill: parent
        color: "#eef2f7"
    }

    HsAreaTitleBar {
        title: area.controller ? area.controller.title : ""
        onSettingsPressed: area.controller.pressSetting()
    }
}
