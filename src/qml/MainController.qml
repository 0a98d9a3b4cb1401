pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls.Basic
import HsSchool

// The main tab screen: the five areas, one shown at a time, above the tab bar.
Item {
    id: screen

    required property MainScreenController controller
    // The notification badge shown on the student tab.
    readonly property int badgeNumber: (ApplicationWindow.window as HsAppWindow)?.appDelegate.badgeNumber ?? 0
    readonly property int tabBarHeight: 65

    Item {
        id: areas

        width: parent.width
        height: parent.height - screen.tabBarHeight

        HsStudentActivity {
            anchors.fill: parent
            controller: screen.controller.viewStudent
            visible: screen.controller.shownTag === MainTabModel.StudentTab
        }
        HsSchoolActivity {
            anchors.fill: parent
            controller: screen.controller.viewSchool
            visible: screen.controller.shownTag === MainTabModel.NoticesTab
        }
        HsNewsActivity {
            anchors.fill: parent
            controller: screen.controller.viewNews
            visible: screen.controller.shownTag === MainTabModel.NewsTab
        }
        HsResourceActivity {
            anchors.fill: parent
            controller: screen.controller.viewResource
            visible: screen.controller.shownTag === MainTabModel.ResourcesTab
        }
        HsContactsActivity {
            anchors.fill: parent
            controller: screen.controller.viewContact
            visible: screen.controller.shownTag === MainTabModel.ContactsTab
        }
    }

    Image {
        id: tabView

        y: areas.height
        width: parent.width
        height: screen.tabBarHeight
        source: "images/bg_bottom.png"
        fillMode: Image.Stretch

        Row {
            anchors.fill: parent

            Repeater {
                model: screen.controller.tabs

                delegate: Item {
                    id: tab

                    required property int tag
                    required property string caption
                    required property string background
                    required property string highlightedBackground
                    required property int unreadCount

                    width: tabView.width / 5
                    height: tabView.height

                    TabButton {
                        id: button

                        anchors.fill: parent
                        padding: 0
                        text: tab.caption
                        Accessible.name: tab.caption
                        checked: screen.controller.shownTag === tab.tag
                        // The area shown is the controller's to say; a tap only asks for it.
                        checkable: false
                        onClicked: screen.controller.toolbarPress(tab.tag)

                        background: Image {
                            source: "images/" + (button.down ? tab.highlightedBackground : tab.background)
                            fillMode: Image.Stretch
                        }

                        contentItem: Item {
                            HsTabIcon {
                                anchors.horizontalCenter: parent.horizontalCenter
                                y: 12
                                tag: tab.tag
                                active: button.checked
                            }

                            Text {
                                anchors.horizontalCenter: parent.horizontalCenter
                                y: 40
                                text: tab.caption
                                color: button.checked ? HsStyle.accent : HsStyle.inkTabIdle
                                font.pixelSize: HsStyle.fontCaption
                                font.underline: button.visualFocus
                            }

                            HsBadge {
                                x: parent.width / 2 + 6
                                y: 5
                                // The student tab counts notifications; the notices and news tabs their unread headlines.
                                number: tab.tag === MainTabModel.StudentTab ? screen.badgeNumber : tab.unreadCount
                            }
                        }
                    }
                }
            }
        }
    }
}
