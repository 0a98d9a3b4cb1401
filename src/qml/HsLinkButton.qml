import QtQuick
import QtQuick.Controls.Basic

// A text button without a frame; it takes touches 8 px around its text too.
AbstractButton {
    id: link

    padding: 8
    font.pixelSize: HsStyle.fontText
    Accessible.name: text

    contentItem: Text {
        text: link.text
        font.pixelSize: link.font.pixelSize
        font.underline: link.visualFocus
        color: link.down ? HsStyle.accentDeep : HsStyle.accentBright
    }
}
