import QtQuick
import QtQuick.Controls.Basic

// One row of the login form: an icon and a borderless text field with a clear button while
// it is being edited.
Item {
    id: row

    property alias icon: rowIcon.source
    property alias field: input
    property alias text: input.text
    property alias placeholder: input.placeholderText
    property bool secure: false
    // What the field is, for assistive technology.
    property string label

    signal edited(string text)
    // Return or Enter in the field.
    signal submitted

    height: 44

    Image {
        id: rowIcon

        x: 20
        y: 4
        width: 18
        height: 35
        fillMode: Image.PreserveAspectFit
    }

    TextField {
        id: input

        x: 60
        y: 7
        width: 200
        height: 30
        background: null
        padding: 0
        font.pixelSize: HsStyle.fontText
        color: HsStyle.inkInput
        placeholderTextColor: HsStyle.placeholder
        echoMode: row.secure ? TextInput.Password : TextInput.Normal
        inputMethodHints: Qt.ImhNoPredictiveText
        onTextEdited: row.edited(text)
        Accessible.name: row.label
        onAccepted: row.submitted()
    }

    AbstractButton {
        x: input.x + input.width + 2
        anchors.verticalCenter: input.verticalCenter
        width: 30
        height: 30
        padding: 6
        visible: input.activeFocus && input.text.length > 0
        // Leaves the keyboard in the field: Tab goes from field to field.
        focusPolicy: Qt.NoFocus
        Accessible.name: "清除"
        onClicked: {
            input.clear();
            row.edited("");
        }

        contentItem: Rectangle {
            radius: 9
            color: HsStyle.formButton

            Text {
                anchors.centerIn: parent
                text: "×"
                color: "white"
                font.pixelSize: HsStyle.fontBody
            }
        }
    }
}
