import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// A titled message with one button.
Popup {
    id: dialog

    property string title: ""
    property string text: ""
    property string button: "تایید"

    function initial(options) {
        if (!options)
            return
        if (options.title !== undefined) title = options.title
        if (options.text !== undefined) text = options.text
        if (options.button !== undefined) button = options.button
    }

    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: 400
    padding: 20

    contentItem: Column {
        spacing: 14
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        UTitle {
            title: dialog.title
        }

        Text {
            width: parent.width
            text: dialog.text
            font.pointSize: 12
            wrapMode: Text.WordWrap
            // Mirrored with the column: from the right edge.
            horizontalAlignment: Text.AlignLeft
        }

        UButtons {
            Button {
                text: dialog.button
                onClicked: dialog.close()
            }
        }
    }
}
