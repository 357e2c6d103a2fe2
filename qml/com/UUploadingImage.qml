import QtQuick 2.15
import com 1.0
import "media.js" as Media

// A picture under upload: sizes, a rising shade and an hourglass while it goes; a check when it
// arrived; nothing of the three after a failure.
UImage2 {
    id: root

    property bool uploading: false
    property bool done: false
    property real fraction: 0
    property string sizeText: ""

    signal failed()

    function getVolume(bytes) { return Media.getVolume(bytes) }

    function refresh(progress, total, percentage) {
        uploading = true
        done = false
        fraction = total > 0 ? Math.min(1, progress / total) : 0
        sizeText = getVolume(progress) + " / " + getVolume(total)
    }

    function finishedSuccessfully() {
        uploading = false
        done = true
    }

    function error() {
        uploading = false
        done = false
        fraction = 0
        sizeText = ""
        failed()
    }

    Rectangle {
        anchors.left: root.left
        anchors.right: root.right
        anchors.bottom: root.bottom
        height: parent.height * root.fraction
        color: "#99000000"
        visible: root.uploading
    }

    Text {
        objectName: "upload_size"
        anchors.centerIn: parent
        visible: root.uploading && text !== ""
        text: root.sizeText
        color: "white"
        font.pointSize: 8
        style: Text.Outline
    }

    Rectangle {
        objectName: "upload_badge"
        visible: root.uploading || root.done
        width: 22
        height: 22
        radius: 11
        anchors.left: root.left
        anchors.bottom: root.bottom
        anchors.margins: 4
        color: root.done ? "#43a047" : "#ffa000"
        Text {
            anchors.centerIn: parent
            font.family: Fonts.icon
            font.pixelSize: 14
            color: "white"
            text: root.icon(root.done ? "check" : "timerSand")
        }
    }
}
