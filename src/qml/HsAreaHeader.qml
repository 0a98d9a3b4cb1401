import QtQuick
import HsSchool

// The top of an area with categories: the title bar with its settings button, the category bar
// under it and, while the list shown is an older stored one, the line that says when it was stored.
Column {
    id: header

    required property string title
    required property HsCategoryBarModel menu
    property string updatedText: ""

    signal settingsPressed
    signal categoryPressed(int tag)

    width: parent ? parent.width : 320

    HsTitleBar {
        title: header.title
        showsSettings: true
        onSettingsPressed: header.settingsPressed()
    }

    HsCategoryBar {
        width: header.width
        menu: header.menu
        onCategoryPressed: tag => header.categoryPressed(tag)
    }

    Text {
        objectName: "updatedLine"
        width: header.width
        height: 22
        visible: header.updatedText !== ""
        text: header.updatedText
        color: HsStyle.inkMuted
        font.pixelSize: HsStyle.fontSmall
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        Accessible.role: Accessible.StaticText
        Accessible.name: text

        Rectangle {
            anchors.bottom: parent.bottom
            width: parent.width
            height: 1
            color: HsStyle.separator
        }
    }
}
