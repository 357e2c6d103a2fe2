import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "media.js" as Media

// One image or video over the whole window, with download into the pictures folder and the two
// share pages.
Popup {
    id: viewer

    property var entries: []
    property int currentIndex: 0
    readonly property var entry: entries.length > currentIndex && currentIndex >= 0 ? entries[currentIndex] : ({})
    property bool downloading: false
    property bool downloaded: false
    property real progress: 0
    property string speedText: ""

    function icon(name) { return String.fromCodePoint(parseInt(Icons[name], 16)) }

    function initial(options) {
        entries = options && Array.isArray(options.data) ? options.data : []
        currentIndex = options && options.currentIndex !== undefined ? Number(options.currentIndex) : 0
    }

    function download() {
        try {
            if (downloading || !entry.path)
                return
            downloaded = false
            downloading = true
            progress = 0
            speedText = ""
            downloader.setCache(Consts.mobile)
            downloader.downloadUrl(String(entry.path))
        } catch (e) {
            Toast.error(e, "download")
        }
    }

    function openFile() {
        Qt.openUrlExternally(Media.fileUrl(downloader.getDownloadPath(), Qt.platform.os === "windows"))
    }

    parent: Overlay.overlay
    x: 0
    y: 0
    width: parent ? parent.width : 800
    height: parent ? parent.height : 600
    modal: true
    padding: 0
    background: Rectangle { color: "#ee000000" }

    Downloader {
        id: downloader
        onProgress: viewer.progress = total > 0 ? value / total : 0
        onSpeed: viewer.speedText = speed + " Kb/s"
        onFinished: {
            viewer.downloading = false
            viewer.downloaded = true
        }
        onDownloadError: {
            viewer.downloading = false
            Toast.show("دریافت فایل انجام نشد.")
        }
    }

    contentItem: Item {
        id: stage
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        Loader {
            id: media
            anchors.fill: parent
            anchors.topMargin: 56
            anchors.bottomMargin: 64
            sourceComponent: viewer.entry.isVideo ? videoPart : imagePart
        }

        Component {
            id: imagePart
            UImage2 {
                objectName: "viewer_image"
                source: viewer.entry.path || ""
                fillMode: Image.PreserveAspectFit
            }
        }

        Component {
            id: videoPart
            UVideo {
                objectName: "viewer_video"
                source: viewer.entry.path || ""
                thumb: viewer.entry.thumb || ""
            }
        }

        ToolButton {
            objectName: "viewer_close"
            anchors.top: stage.top
            anchors.left: stage.left
            font.family: Fonts.icon
            font.pixelSize: 26
            palette.buttonText: "white"
            text: viewer.icon("close")
            onClicked: viewer.close()
        }

        Row {
            anchors.bottom: stage.bottom
            anchors.horizontalCenter: stage.horizontalCenter
            anchors.bottomMargin: 12
            spacing: 10

            Button {
                objectName: "viewer_download"
                text: "دانلود"
                enabled: !viewer.downloading
                onClicked: viewer.download()
            }
            Button {
                objectName: "viewer_open"
                visible: viewer.downloaded
                text: "باز کردن فایل"
                onClicked: viewer.openFile()
            }
            Button {
                text: "اشتراک در تلگرام"
                onClicked: Qt.openUrlExternally(Media.telegramShare(String(viewer.entry.path || "")))
            }
            Button {
                text: "اشتراک در واتس اپ"
                onClicked: Qt.openUrlExternally(Media.whatsappShare(String(viewer.entry.path || "")))
            }
        }

        Column {
            anchors.bottom: stage.bottom
            anchors.right: stage.right
            anchors.margins: 12
            visible: viewer.downloading || viewer.downloaded
            spacing: 2
            ProgressBar {
                width: 160
                value: viewer.progress
                visible: viewer.downloading
            }
            Text {
                objectName: "viewer_status"
                color: "white"
                textFormat: Text.PlainText
                text: viewer.downloaded ? "دریافت فایل به اتمام رسید." : viewer.speedText
            }
        }
    }

}
