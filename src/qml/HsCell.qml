import QtQuick
import QtQuick.Controls.Basic

// A row of a list: a plain colour that tints while the row is pressed, and a separator along the
// bottom that starts where the row's text does. The row draws its content itself.
ItemDelegate {
    id: cell

    // The row's colour while it is not pressed.
    property color restColor: "white"
    // Rows that open nothing keep their colour under a finger.
    property bool showsPress: true
    property bool separated: true

    padding: 0

    background: Rectangle {
        color: cell.showsPress && cell.pressed ? HsStyle.pressed : cell.restColor

        Rectangle {
            anchors.bottom: parent.bottom
            x: 12
            width: parent.width - 12
            height: 1
            color: HsStyle.separator
            visible: cell.separated
        }
    }

    // The style's content item would repeat the text the row draws.
    contentItem: Item {}
}
