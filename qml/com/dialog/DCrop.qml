import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// The crop tool in a dialog; accepted(path) hands the cropped file on and closes it.
Popup {
    id: dialog

    property string pathImage: ""

    signal accepted(string path)

    function initial(options) {
        if (options && options.pathImage !== undefined)
            pathImage = String(options.pathImage)
    }

    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: 560
    height: Math.min(Overlay.overlay ? Overlay.overlay.height - 40 : 700, crop.shown.height + 130)
    padding: 16

    contentItem: Column {
        spacing: 10
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true
        UTitle {
            title: "برش تصویر"
        }
        UCrop {
            id: crop
            objectName: "crop"
            width: parent.width
            height: shown.height + 60
            pathImage: dialog.pathImage
            onSignalAccept: {
                dialog.accepted(path)
                dialog.close()
            }
        }
    }
}
