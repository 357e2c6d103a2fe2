import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "../home.js" as Home

// The wallpapers; a choice is stored and shown at once.
Popup {
    id: dialog
    objectName: "wallpaperDialog"

    function choose(index) {
        try {
            var data = Home.copy(Settings.app_data)
            data.wallpaper = index
            // A new object, so every binding on the settings sees the change.
            Settings.app_data = data
            Settings.save()
            close()
        } catch (e) {
            Toast.error(e, "Wallpaper.choose")
        }
    }

    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: 560
    height: 460
    padding: 12

    contentItem: GridView {
        id: grid
        clip: true
        cellWidth: width / 4
        cellHeight: cellWidth * 0.75
        model: 20
        delegate: Item {
            width: grid.cellWidth
            height: grid.cellHeight
            objectName: "wallpaper_" + index
            Image {
                anchors.fill: parent
                anchors.margins: 4
                fillMode: Image.PreserveAspectCrop
                source: Consts.image(Consts.getWallpaper(index + 1))
                sourceSize.width: 160
            }
            Rectangle {
                anchors.fill: parent
                anchors.margins: 4
                color: "transparent"
                border.width: Number(Settings.app_data.wallpaper) === index ? 3 : 0
                border.color: "#ffc107"
            }
            MouseArea {
                anchors.fill: parent
                onClicked: dialog.choose(index)
            }
        }
    }
}
