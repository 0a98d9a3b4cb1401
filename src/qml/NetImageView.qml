import QtQuick
import QtQuick.Controls.Basic
import HsSchool

// A picture loaded from an address: cleared at once when a load starts, a 20 x 20 gray spinner
// in the middle while it loads, the picture when it has arrived, and nothing after a failed load.
// A new address replaces the load still running. An inactive view loads nothing. The picture is
// decoded only as large as the view shows it.
Item {
    id: view

    property string address
    property bool active: true
    readonly property bool loading: httpRequest.loading
    readonly property bool hasPicture: httpRequest.hasPicture

    property bool completed: false

    function getImageFromURL(url) {
        httpRequest.getImageFromURL(url);
    }
    function reload() {
        if (active)
            getImageFromURL(address);
    }
    // A reused cell fetches its picture again, unless its new address is loading already.
    function reuse() {
        if (!httpRequest.loading)
            reload();
    }

    onAddressChanged: if (completed) reload()
    onActiveChanged: if (completed) reload()
    Component.onCompleted: {
        completed = true;
        reload();
    }

    NetImage {
        id: httpRequest

        clearsOnLoad: true
        shownSize: Qt.size(view.width * Screen.devicePixelRatio, view.height * Screen.devicePixelRatio)
    }

    NetImagePicture {
        anchors.fill: parent
        source: httpRequest
    }

    BusyIndicator {
        id: indicator

        objectName: "indicator"

        x: (view.width - 20) / 2
        y: (view.height - 20) / 2
        width: 20
        height: 20
        padding: 0
        palette.dark: "gray"
        running: httpRequest.loading
        visible: running
    }
}
