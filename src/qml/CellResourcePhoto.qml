import QtQuick

// A row of the photo table: two resources side by side, each a picture over its title. The
// right half is hidden, and loads nothing, when the row holds only one. A touch opens the
// resource of the half it lands on.
Item {
    id: cell

    required property int index
    required property int resId
    required property string resTitle
    required property string resThumb
    required property bool hasSecond
    required property int resId2
    required property string resTitle2
    required property string resThumb2

    signal halfClicked(int half)

    height: 118

    ListView.onReused: {
        ivImage1.picture.reuse();
        ivImage2.picture.reuse();
    }

    component Half: HsCell {
        id: half

        property alias picture: picture
        property string title
        property string thumb
        property bool shown: true

        separated: false
        text: title
        Accessible.name: title

        Item {
            anchors.fill: parent

            Rectangle {
                x: 8
                y: 8
                width: half.width - 16
                height: 82
                color: HsStyle.separator

                NetImageView {
                    id: picture

                    anchors.fill: parent
                    active: half.shown
                    address: half.thumb
                }
            }

            Text {
                x: 8
                y: 92
                width: half.width - 16
                height: 22
                verticalAlignment: Text.AlignVCenter
                text: half.title
                color: HsStyle.ink
                font.pixelSize: HsStyle.fontBody
                elide: Text.ElideRight
            }
        }
    }

    Half {
        id: ivImage1

        objectName: "ivImage1"
        x: 0
        width: cell.width / 2
        height: cell.height
        title: cell.resTitle
        thumb: cell.resThumb
        onClicked: cell.halfClicked(0)
    }

    Half {
        id: ivImage2

        objectName: "ivImage2"
        x: cell.width / 2
        width: cell.width / 2
        height: cell.height
        visible: cell.hasSecond
        shown: cell.hasSecond
        title: cell.resTitle2
        thumb: cell.resThumb2
        onClicked: cell.halfClicked(1)
    }

    Rectangle {
        anchors.bottom: parent.bottom
        width: parent.width
        height: 1
        color: HsStyle.separator
    }
}
