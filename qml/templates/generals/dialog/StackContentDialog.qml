import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import ".."

// The page container as a dialog, for desktops.
Popup {
    id: dialog

    property alias contentType: content.contentType
    property alias options: content.options
    property alias callback: content.callback

    function initial(opts) {
        opts = opts || {}
        content.callback = opts.callback !== undefined ? opts.callback : null
        content.open(opts.contentType, opts.options !== undefined ? opts.options : {})
    }

    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: Consts.window ? Consts.window.width * 0.8 : 900
    height: Consts.window ? Consts.window.height * 0.85 : 700
    padding: 0
    // Escape goes back one screen on the dialog's own stack, as its back controls do.
    closePolicy: Popup.CloseOnPressOutside

    contentItem: Item {
        focus: true
        Keys.onEscapePressed: content.backFromFront()
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        StackContent {
            id: content
            anchors.fill: parent
            onCloseRequested: dialog.close()
        }
    }
}
