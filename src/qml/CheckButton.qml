import QtQuick
import QtQuick.Controls.Basic
import HsSchool

// An image-and-label toggle shown for a CheckButton object. The object decides the state on a
// tap (a radio-style button stays on, a check box flips), so the control never toggles itself.
CheckBox {
    id: root

    required property CheckButtonController button

    text: button.label
    checked: button.checked
    nextCheckState: () => root.checkState
    padding: 0
    spacing: 0
    font.pixelSize: 16
    Accessible.role: button.style === 2 ? Accessible.RadioButton : Accessible.CheckBox
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
        font: root.font
        font.underline: root.visualFocus
        color: "black"
        verticalAlignment: Text.AlignVCenter
        horizontalAlignment: Text.AlignLeft
        elide: Text.ElideRight
    }
}
