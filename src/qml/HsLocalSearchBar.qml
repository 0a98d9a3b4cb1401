import QtQuick
import QtQuick.Controls.Basic
import HsSchool

// The field at the top of an area's list that searches what this account has loaded, as the
// user types; "取消" empties it and brings the list back.
Rectangle {
    id: bar

    required property HsLocalSearch search

    height: 44
    color: HsStyle.toolbarLine

    TextField {
        id: field

        objectName: "localSearchField"
        x: 8
        y: 7
        width: parent.width - 16 - (clearButton.visible ? clearButton.width + 8 : 0)
        height: 30
        placeholderText: "搜索已加载的内容"
        text: bar.search.text
        font.pixelSize: HsStyle.fontBody
        inputMethodHints: Qt.ImhNoPredictiveText
        Accessible.name: "搜索已加载的内容"
        background: Rectangle {
            radius: 6
            color: "white"
            border.color: HsStyle.toolbarButtonBorder
        }
        onTextEdited: bar.search.text = text
        onAccepted: focus = false
    }

    Button {
        id: clearButton

        objectName: "localSearchClear"
        x: parent.width - width - 8
        y: 7
        width: 52
        height: 30
        text: "取消"
        font.pixelSize: HsStyle.fontBody
        visible: bar.search.active
        Accessible.name: "取消搜索"
        onClicked: {
            bar.search.text = "";
            field.focus = false;
        }
    }
}
