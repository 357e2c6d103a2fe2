import QtQuick 2.15
import QtQuick.Controls 2.15
import QtMultimedia 5.15
import com 1.0
import "media.js" as Media

// A remote video, downloaded into the cache before it plays; a cached file the player cannot
// play is fetched again. The footer with the remaining time hides a while after the last touch.
Item {
    id: root

    property string source: ""
    property string thumb: ""
    property bool loading: false
    property bool broken: false
    property real progress: 0
    // Whether the cached copy was already fetched again after the player refused it.
    property bool refetched: false
    property int hideAfter: 4000
    readonly property alias player: player
    readonly property bool footerShown: footer.visible
    readonly property string remainingText: Media.remaining(player.duration, player.position)

    function icon(name) { return String.fromCodePoint(parseInt(Icons[name], 16)) }

    function load(force) {
        var s = String(source)
        broken = false
        player.stop()
        player.source = ""
        if (s === "")
            return
        if (s.indexOf("http") === -1) {
            player.source = Media.asUrl(s)
            return
        }
        loading = true
        progress = 0
        downloader.setCache(true)
        downloader.setForce(force === true)
        downloader.downloadUrl(s)
    }

    function touched() {
        footer.visible = true
        hideTimer.restart()
    }

    function toggle() {
        touched()
        if (player.playbackState === MediaPlayer.PlayingState)
            player.pause()
        else
            player.play()
    }

    // Loaded once the item is complete, so an initial source is fetched once.
    property bool completed: false
    onSourceChanged: {
        refetched = false
        if (completed)
            load(false)
    }
    Component.onCompleted: {
        completed = true
        load(false)
    }

    Downloader {
        id: downloader
        onProgress: root.progress = total > 0 ? value / total : 0
        onFinished: {
            root.loading = false
            downloader.setForce(false)
            player.source = Media.fileUrl(downloader.getDownloadPath(), Qt.platform.os === "windows")
        }
        onDownloadError: {
            root.loading = false
            root.broken = true
        }
    }

    MediaPlayer {
        id: player
        autoPlay: false
        onStatusChanged: {
            if (status === MediaPlayer.InvalidMedia && String(root.source).indexOf("http") !== -1
                    && !root.refetched) {
                // A cached copy cut short or spoiled: fetch it again over the old one.
                root.refetched = true
                root.load(true)
            } else if (status === MediaPlayer.InvalidMedia) {
                root.broken = true
            }
        }
    }

    Rectangle {
        anchors.fill: parent
        color: "black"
    }

    UImage2 {
        anchors.fill: parent
        visible: root.thumb !== "" && player.playbackState === MediaPlayer.StoppedState
        source: root.thumb
        fillMode: Image.PreserveAspectFit
    }

    VideoOutput {
        anchors.fill: parent
        source: player
        visible: player.playbackState !== MediaPlayer.StoppedState
    }

    BusyIndicator {
        anchors.centerIn: parent
        running: root.loading
        visible: root.loading
    }

    Text {
        anchors.centerIn: parent
        visible: root.broken
        font.family: Fonts.icon
        font.pixelSize: 48
        color: "#b0bec5"
        text: root.icon("imageBrokenVariant")
    }

    MouseArea {
        anchors.fill: parent
        hoverEnabled: true
        onPositionChanged: root.touched()
        onClicked: root.toggle()
    }

    Rectangle {
        id: footer
        objectName: "video_footer"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: 40
        color: "#aa000000"

        ToolButton {
            id: playButton
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            enabled: !root.loading && !root.broken
            font.family: Fonts.icon
            font.pixelSize: 22
            text: root.icon(player.playbackState === MediaPlayer.PlayingState ? "pause" : "play")
            onClicked: root.toggle()
        }
        Text {
            objectName: "video_remaining"
            anchors.left: parent.left
            anchors.leftMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            color: "white"
            text: root.remainingText
        }
    }

    Timer {
        id: hideTimer
        interval: root.hideAfter
        running: true
        onTriggered: footer.visible = false
    }
}
