import QtQuick
import QtQuick.Controls.Basic

// The wide blue button of a form. Return or Enter presses it as well as Space.
Button {
    id: button

    height: 44
    font.pixelSize: HsStyle.fontHeading
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
        color: button.down ? HsStyle.accent : (button.enabled ? HsStyle.accentBright : HsStyle.accentDisabled)
        border.color: HsStyle.accentBorder
        border.width: button.visualFocus ? 2 : 0
    }
}
