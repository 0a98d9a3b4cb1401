import QtQuick
import HsSchool

// The top of an area with categories: the title bar with its settings button, and the category
// bar under it.
Column {
    id: header

    required property string title
    required property HsCategoryBarModel menu

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
}
