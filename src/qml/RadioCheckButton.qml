import QtQuick
import QtQuick.Controls.Basic
import HsSchool

// A radio-style CheckButton object shown as an image and a label: a tap turns it on and the
// object turns its partner off; it is not a group of its own, the object keeps them exclusive.
RadioButton {
    id: root

    required property CheckButtonController button

    text: button.label
    checked: button.checked
    // The object, not the control, turns the button on and its partner off.
    checkable: false
    autoExclusive: false
    padding: 0
    spacing: 0
    font.pixelSize: HsStyle.fontLarge
    Accessible.name: text
    onClicked: button.clicked()

    indicator: Image {
        x: 10
        width: root.height
        height: root.height
        source: "images/" + root.button.icon
        fillMode: Image.PreserveAspectFit
        smooth: true
    }

    contentItem: Text {
        leftPadding: root.height + 14
        text: root.text
        font.pixelSize: root.font.pixelSize
        font.underline: root.visualFocus
        color: "black"
        verticalAlignment: Text.AlignVCenter
        horizontalAlignment: Text.AlignLeft
        elide: Text.ElideRight
    }
}
