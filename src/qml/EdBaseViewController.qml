import QtQuick

// A screen with a title bar (title and back button); what a derived screen declares goes
// below the bar.
Item {
    id: screen

    property QtObject controller
    property alias topBar: bar
    default property alias content: body.data

    Rectangle {
        anchors.fill: parent
        color: "#eef2f7"
    }

    Item {
        id: body

        anchors.top: bar.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
    }

    HsTitleBar {
        id: bar

        title: screen.controller ? screen.controller.title : ""
        showsBack: true
        onBackPressed: screen.controller.homeButtonClicked(1000)
    }
}
