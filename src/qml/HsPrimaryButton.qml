import QtQuick
import QtQuick.Controls.Basic

// The wide blue button of a form. Return or Enter presses it as well as Space.
Button {
    id: button

    height: 44
    font.pixelSize: 18
    // Captions are spaced out on screen ("登  录"); a screen reader reads the word.
    Accessible.name: text.replace(/ /g, "")
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()

    contentItem: Text {
        text: button.text
        font: button.font
        color: "white"
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
    background: Rectangle {
        radius: 6
        color: button.down ? "#1f6fc4" : (button.enabled ? "#2f86e0" : "#8fb8e6")
        border.color: "#0d3f75"
        border.width: button.visualFocus ? 2 : 0
    }
}
