import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "media.js" as Media

// An image from a local or a remote source; remote ones go through this item's own downloader
// into the cache, and a failed download shows a broken picture.
Item {
    id: root

    property string source: ""
    property int fillMode: Image.PreserveAspectCrop
    // The file actually shown (a local URL once a remote source has arrived).
    readonly property string shownSource: image.source.toString()
    property bool loading: false
    property bool broken: false
    property real progress: 0

    signal clicked(var mouse)

    function icon(name) { return String.fromCodePoint(parseInt(Icons[name], 16)) }

    function load() {
        broken = false
        progress = 0
        var s = String(source)
        if (s.indexOf("http") !== -1) {
            image.source = ""
            loading = true
            downloader.setCache(true)
            downloader.downloadUrl(s)
        } else {
            loading = false
            image.source = s === "" ? "" : Media.asUrl(s)
        }
    }

    // Loaded once the item is complete, so an initial source is fetched once.
    property bool completed: false
    onSourceChanged: if (completed) load()
    Component.onCompleted: {
        completed = true
        load()
    }

    Downloader {
        id: downloader
        onProgress: root.progress = total > 0 ? value / total : 0
        onFinished: {
            image.source = Media.fileUrl(downloader.getDownloadPath(), Qt.platform.os === "windows")
            downloader.setForce(false)
            root.loading = false
        }
        onDownloadError: {
            root.loading = false
            root.broken = true
            image.source = ""
        }
    }

    Rectangle {
        anchors.fill: parent
        color: "#eceff1"
        visible: image.status !== Image.Ready
    }

    Image {
        id: image
        objectName: "image2_picture"
        anchors.fill: parent
        fillMode: root.fillMode
        asynchronous: true
        cache: false
        smooth: true
        onStatusChanged: if (status === Image.Error) root.broken = true
    }

    Text {
        objectName: "image2_placeholder"
        anchors.centerIn: parent
        visible: !root.loading && image.status !== Image.Ready
        font.family: Fonts.icon
        font.pixelSize: Math.max(16, Math.min(root.width, root.height) / 3)
        color: "#90a4ae"
        text: root.icon(root.broken ? "imageBrokenVariant" : "image")
    }

    BusyIndicator {
        anchors.centerIn: parent
        running: root.loading
        visible: root.loading
        width: Math.min(48, root.width / 2)
        height: width
    }

    MouseArea {
        anchors.fill: parent
        enabled: !root.loading
        acceptedButtons: Qt.LeftButton
        onClicked: root.clicked(mouse)
    }
}
