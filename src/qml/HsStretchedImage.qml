import QtQuick

// An image drawn at twice its size in points, stretched to any size while its caps keep their
// size (the caps are given in points), or, for a pattern, tiled: repeated at its size in points
// from the top left corner, without caps.
Item {
    id: stretched

    property alias source: image.source
    property bool tiled: false
    property int capLeft: 7
    property int capTop: 7
    property int capRight: 7
    property int capBottom: 7

    BorderImage {
        id: image

        width: stretched.width * 2
        height: stretched.height * 2
        scale: 0.5
        transformOrigin: Item.TopLeft
        horizontalTileMode: stretched.tiled ? BorderImage.Repeat : BorderImage.Stretch
        verticalTileMode: stretched.tiled ? BorderImage.Repeat : BorderImage.Stretch
        border {
            left: stretched.tiled ? 0 : stretched.capLeft * 2
            top: stretched.tiled ? 0 : stretched.capTop * 2
            right: stretched.tiled ? 0 : stretched.capRight * 2
            bottom: stretched.tiled ? 0 : stretched.capBottom * 2
        }
    }
}
