import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// The print preview of a file over the window, as the file detail screen opens it on desktops.
Popup {
    id: dialog

    property alias card: preview

    // options: {file, property_ref}
    function initial(options) {
        preview.initial(options)
    }

    modal: true
    focus: true
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside
    anchors.centerIn: Overlay.overlay
    width: preview.implicitWidth + 2 * padding
    height: Math.min(preview.implicitHeight + 2 * padding, parent ? parent.height - 40 : 700)
    padding: 8

    contentItem: Flickable {
        clip: true
        contentWidth: preview.implicitWidth
        contentHeight: preview.implicitHeight
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}

        FileDetailPrint {
            id: preview
            objectName: "fileDetailPrint"
            width: implicitWidth
            height: implicitHeight
        }
    }
}
