import QtQuick
import QtQuick.Controls.Basic
import HsSchool

// A list that the user pulls down and releases to reload its first page. The header object keeps
// the state; this view reports the content offset and the dragging to it, keeps the top inset it
// asks for, and draws its face directly above the first row. With a paging object, reaching the
// end asks for the next page, and a row at the end says how loading stands (a failed page is
// retried with a tap on it).
ListView {
    id: list

    property RefreshHeaderView refreshHeader: null
    property HsPaging paging: null

    signal loadMoreRequested
    // The content offset as the header counts it: 0 at rest, negative while pulled down.
    readonly property real pullOffset: contentY - originY

    clip: true
    reuseItems: true
    // Rows are made only as they come into view, from the rows that left it: a buffer of rows
    // made ahead is built in one burst when the list first moves, which stalls the first pull,
    // and gains nothing in a fling, where the reused rows already keep up.
    cacheBuffer: 0
    boundsBehavior: Flickable.DragAndOvershootBounds

    // Set, not bound: the header's inset follows the scrolling that the inset itself moves.
    Connections {
        target: list.refreshHeader

        function onTopInsetChanged() {
            list.keepTopInset(list.refreshHeader.topInset, list.refreshHeader.insetAnimationMilliseconds);
        }

        function onStateChanged() {
            face.turnArrow(list.refreshHeader.arrowTurned, list.refreshHeader.arrowTurnAnimated);
        }
    }

    NumberAnimation {
        id: insetAnimation

        target: list
        property: "topMargin"
    }

    // Keeps the top inset the header asks for, over the time it gives or at once. A released pull
    // must take its inset at once: the list sets off back to its bounds as the finger lifts, aimed
    // at the bounds it has then, so that the header comes to rest in view.
    function keepTopInset(inset: real, milliseconds: int) {
        insetAnimation.stop();
        if (milliseconds > 0) {
            insetAnimation.to = inset;
            insetAnimation.duration = milliseconds;
            insetAnimation.start();
        } else {
            topMargin = inset;
        }
    }

    // The row at the list's end says how paging stands, once there are rows.
    readonly property bool pagingRowShown: paging !== null && paging.text !== "" && count > 0

    // The next page is asked for once the change that brought the end into view has settled:
    // asking at once changes the paging row, whose height moves the end again while the view
    // still lays itself out.
    Timer {
        id: askAtEnd

        interval: 0
        onTriggered: if (list.atYEnd && list.count > 0) list.loadMoreRequested()
    }
    onAtYEndChanged: askAtEnd.restart()
    onCountChanged: askAtEnd.restart()

    // A view's header and footer reach the view by its id: this Qt cannot make them as bound
    // components, which the linter would otherwise ask for.
    // qmllint disable unqualified
    footer: ItemDelegate {
        id: pagingRow

        objectName: "pagingRow"
        width: list.width
        height: list.pagingRowShown ? 44 : 0
        visible: list.pagingRowShown
        enabled: list.paging !== null && list.paging.state === HsPaging.Failed
        text: list.paging ? list.paging.text : ""
        Accessible.name: text
        onClicked: list.loadMoreRequested()

        contentItem: Text {
            text: pagingRow.text
            color: HsStyle.inkMuted
            font.pixelSize: HsStyle.fontCaption
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
        }

        background: Rectangle {
            color: "transparent"
        }
    }
    // qmllint enable unqualified

    onContentYChanged: if (refreshHeader) refreshHeader.refreshScrollViewDidScroll(pullOffset, dragging)
    onDraggingChanged: if (refreshHeader && !dragging) refreshHeader.refreshScrollViewDidEndDragging(pullOffset)

    Rectangle {
        id: face

        objectName: "refreshHeader"
        // Moves with the rows, directly above the first one.
        parent: list.contentItem
        x: 0
        y: list.originY - height
        width: list.width
        height: list.height
        color: Qt.rgba(226 / 255, 231 / 255, 237 / 255, 1)
        visible: list.refreshHeader !== null

        Text {
            objectName: "statusLabel"
            x: 0
            y: face.height - 40
            width: face.width
            height: 20
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
            text: list.refreshHeader ? list.refreshHeader.statusText : ""
            color: list.refreshHeader ? list.refreshHeader.textColor : "black"
            font.pixelSize: HsStyle.fontCaption
            font.bold: true
            style: Text.Raised
            styleColor: Qt.rgba(1, 1, 1, 0.9)
        }

        // Turns the arrow down or up, in view or at once, as the header's last change asks.
        function turnArrow(turned: bool, animated: bool) {
            arrowTurn.stop();
            const rotation = turned ? 180 : 0;
            if (animated) {
                arrowTurn.to = rotation;
                arrowTurn.start();
            } else {
                arrow.rotation = rotation;
            }
        }

        Image {
            id: arrow

            objectName: "arrow"
            x: 25
            y: face.height - 65
            width: 30
            height: 55
            source: list.refreshHeader ? "images/" + list.refreshHeader.arrowImageName : ""
            fillMode: Image.PreserveAspectFit
            visible: list.refreshHeader !== null && list.refreshHeader.arrowVisible

            NumberAnimation {
                id: arrowTurn

                target: arrow
                property: "rotation"
                duration: 180
            }
        }

        BusyIndicator {
            objectName: "activityIndicator"
            x: 25
            y: face.height - 38
            width: 20
            height: 20
            padding: 0
            running: list.refreshHeader !== null && list.refreshHeader.activityRunning
            visible: running
        }
    }
}
