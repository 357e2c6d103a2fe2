import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "media.js" as Media

// Crops one image: the picture is shown at the item's width, a movable and resizable rectangle
// marks the part to keep, and the result can be turned in quarter turns.
Item {
    id: root

    property string pathImage: ""
    property int imageWidth: 0
    property int imageHeight: 0
    property int rotationAngle: 0
    readonly property var shown: Media.fitted(imageWidth, imageHeight, width)
    property bool working: false

    signal signalAccept(string path)

    // A geometric tool: the handle stays at the bottom right whatever the text direction.
    LayoutMirroring.enabled: false
    LayoutMirroring.childrenInherit: true

    function icon(name) { return String.fromCodePoint(parseInt(Icons[name], 16)) }

    function measure() {
        var parts = String(Utilities.image_size(pathImage)).split("@")
        imageWidth = Number(parts[0]) || 0
        imageHeight = Number(parts[1]) || 0
        resetRect()
    }

    function resetRect() {
        if (!shown)
            return
        var side = Math.max(50, Math.min(shown.width, shown.height) * 0.8)
        cropRect.width = Math.min(side, shown.width)
        cropRect.height = Math.min(side, shown.height)
        cropRect.x = (shown.width - cropRect.width) / 2
        cropRect.y = (shown.height - cropRect.height) / 2
    }

    function rotate() {
        rotationAngle = (rotationAngle + 90) % 360
    }

    // The rectangle as the native crop takes it: in the turned picture, in shown pixels.
    function cropArea() {
        return Media.mapCrop({"x": cropRect.x, "y": cropRect.y, "width": cropRect.width, "height": cropRect.height},
                             rotationAngle, shown.width, shown.height)
    }

    function accept() {
        try {
            if (working || imageWidth <= 0)
                return
            working = true
            var a = cropArea()
            Utilities.image_crop(pathImage, a.x, a.y, a.width, a.height, rotationAngle, shown.scale)
        } catch (e) {
            working = false
            Toast.error(e, "accept")
        }
    }

    onPathImageChanged: measure()
    onWidthChanged: resetRect()

    Connections {
        target: Utilities
        enabled: root.working
        function onImageCroped(success, path) {
            root.working = false
            if (success)
                root.signalAccept(path)
            else
                Toast.show("برش تصویر انجام نشد")
        }
    }

    Item {
        id: frame
        objectName: "crop_frame"
        width: root.shown.width
        height: root.shown.height
        anchors.horizontalCenter: root.horizontalCenter

        Image {
            anchors.fill: parent
            source: root.pathImage === "" ? "" : Media.asUrl(root.pathImage)
            asynchronous: true
            cache: false
        }

        Rectangle {
            id: cropRect
            objectName: "crop_rect"
            color: "#33ffffff"
            border.color: "white"
            border.width: 2

            MouseArea {
                anchors.fill: parent
                drag.target: cropRect
                drag.minimumX: 0
                drag.minimumY: 0
                drag.maximumX: frame.width - cropRect.width
                drag.maximumY: frame.height - cropRect.height
            }

            Text {
                anchors.centerIn: parent
                color: "white"
                font.family: Fonts.icon
                font.pixelSize: 20
                rotation: root.rotationAngle
                text: root.icon("arrowUp")
            }

            Rectangle {
                objectName: "crop_handle"
                width: 15
                height: 15
                color: "white"
                anchors.right: cropRect.right
                anchors.bottom: cropRect.bottom
                MouseArea {
                    anchors.fill: parent
                    property point start
                    property size size
                    onPressed: {
                        start = mapToItem(frame, mouse.x, mouse.y)
                        size = Qt.size(cropRect.width, cropRect.height)
                    }
                    onPositionChanged: {
                        var p = mapToItem(frame, mouse.x, mouse.y)
                        cropRect.width = Math.max(50, Math.min(frame.width - cropRect.x, size.width + p.x - start.x))
                        cropRect.height = Math.max(50, Math.min(frame.height - cropRect.y, size.height + p.y - start.y))
                    }
                }
            }
        }
    }

    UButtons {
        anchors.top: frame.bottom
        anchors.topMargin: 10
        spacing: 10
        Button {
            objectName: "crop_rotate"
            text: "چرخش " + root.rotationAngle + "°"
            onClicked: root.rotate()
        }
        Button {
            objectName: "crop_accept"
            text: "تایید"
            enabled: !root.working && root.imageWidth > 0
            onClicked: root.accept()
        }
    }
}
