import QtQuick
import QtQuick.Controls.Basic
import HsSchool

// A check-box-style CheckButton object shown as an image and a label. The object decides the
// state on a tap, so the control never toggles itself. RadioCheckButton shows the radio style.
CheckBox {
    id: root

    required property CheckButtonController button

    text: button.label
    checked: button.checked
    nextCheckState: () => root.checkState
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
