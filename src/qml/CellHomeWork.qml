import QtQuick

// A homework, test score or state report row: its text and its date line. A post that waits to
// be sent is marked so at the end of its date line.
HsCell {
    id: cell

    required property int index
    required property string title
    required property string date
    // One of HsStudentRecordModel.OutboxState.
    property int postState: HsStudentRecordModel.Delivered

    signal resendClicked

    height: 60
    text: title
    Accessible.name: title + "，" + date

    Item {
        anchors.fill: parent

        Text {
            id: lbTitle

            x: 12
            y: 9
            width: cell.width - 24
            text: cell.title
            color: HsStyle.ink
            font.pixelSize: HsStyle.fontLarge
            elide: Text.ElideRight
        }

        Text {
            id: lbDate

            x: 12
            y: 35
            width: (unsentMark.visible ? unsentMark.x - 8 : cell.width - 12) - x
            text: cell.date
            color: HsStyle.inkMuted
            font.pixelSize: HsStyle.fontSmall
            elide: Text.ElideRight
        }

        HsUnsentMark {
            id: unsentMark

            x: cell.width - 12 - width
            y: 31
            postState: cell.postState
            onResendClicked: cell.resendClicked()
        }
    }
}
