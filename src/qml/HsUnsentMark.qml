import QtQuick
import QtQuick.Controls.Basic

// The mark of a post that waits to be sent: "未发送" with a button that sends it again, or a
// note while it is being sent.
Row {
    id: mark

    // One of HsStudentRecordModel.OutboxState.
    required property int postState

    signal resendClicked

    spacing: 6
    visible: mark.postState !== HsStudentRecordModel.Delivered

    Text {
        anchors.verticalCenter: parent.verticalCenter
        text: mark.postState === HsStudentRecordModel.Sending ? "正在发送…" : "未发送"
        color: mark.postState === HsStudentRecordModel.Sending ? HsStyle.inkMuted : HsStyle.error
        font.pixelSize: HsStyle.fontTiny
    }

    Button {
        objectName: "resendButton"
        visible: mark.postState === HsStudentRecordModel.Unsent
        height: 22
        padding: 0
        leftPadding: 8
        rightPadding: 8
        text: "重新发送"
        Accessible.name: text
        font.pixelSize: HsStyle.fontTiny
        onClicked: mark.resendClicked()
    }
}
