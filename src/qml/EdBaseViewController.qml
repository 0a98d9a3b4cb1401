import QtQuick

// A screen with a title bar (title and back button); what a derived screen declares goes
// below the bar. The derived screen says what its back button does.
Item {
    id: screen

    property alias title: bar.title
    property alias topBar: bar
    default property alias content: body.data

    // The back button, Escape or a phone's Back key.
    signal backPressed

    Rectangle {
        anchors.fill: parent
        color: HsStyle.page
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

        showsBack: true
        onBackPressed: screen.backPressed()
    }
}
