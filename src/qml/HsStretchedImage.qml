import QtQuick

// An image drawn at twice its size in points, stretched to any size while its caps keep their
// size: the caps are given in points.
Item {
    id: stretched

    property alias source: image.source
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
        border {
            left: stretched.capLeft * 2
            top: stretched.capTop * 2
            right: stretched.capRight * 2
            bottom: stretched.capBottom * 2
        }
    }
}
