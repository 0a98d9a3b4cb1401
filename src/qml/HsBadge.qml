import QtQuick

// The application's notification badge: a red disc with the number, hidden at zero.
Rectangle {
    property int number: 0

    visible: number > 0
    width: Math.max(18, count.implicitWidth + 10)
    height: 18
    radius: 9
    color: HsStyle.alert
    border.color: "white"
    border.width: 1

    Text {
        id: count

        anchors.centerIn: parent
        text: parent.number > 99 ? "99+" : parent.number
        color: "white"
        font.pixelSize: HsStyle.fontTiny
        font.bold: true
    }
}
