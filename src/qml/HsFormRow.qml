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

    signal edited(string text)

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
        font.pixelSize: 15
        color: "#222222"
        placeholderTextColor: "#a0a6ad"
        echoMode: row.secure ? TextInput.Password : TextInput.Normal
        inputMethodHints: Qt.ImhNoPredictiveText
        onTextEdited: row.edited(text)
        onAccepted: focus = false
    }

    Rectangle {
        x: input.x + input.width + 8
        anchors.verticalCenter: input.verticalCenter
        width: 18
        height: 18
        radius: 9
        color: "#b8bec6"
        visible: input.activeFocus && input.text.length > 0

        Text {
            anchors.centerIn: parent
            text: "×"
            color: "white"
            font.pixelSize: 14
        }

        MouseArea {
            anchors.fill: parent
            anchors.margins: -6
            onClicked: {
                input.clear();
                row.edited("");
            }
        }
    }
}
