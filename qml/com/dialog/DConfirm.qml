import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// The program's one yes/no question: "بله" first from the right, dark, and "خیر" beside it;
// accepted() follows the yes.
Popup {
    id: dialog

    property string title: ""
    property string text: ""
    property string yes: "بله"
    property string no: "خیر"

    signal accepted()

    function initial(options) {
        if (!options)
            return
        if (options.title !== undefined) title = options.title
        if (options.text !== undefined) text = options.text
        if (options.yes !== undefined) yes = options.yes
        if (options.no !== undefined) no = options.no
    }

    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: 420
    padding: 20

    contentItem: Column {
        spacing: 14
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        UTitle {
            objectName: "confirmTitle"
            title: dialog.title
        }

        Text {
            objectName: "confirmText"
            width: parent.width
            visible: text !== ""
            text: dialog.text
            textFormat: Text.PlainText
            font.pointSize: 12
            wrapMode: Text.WordWrap
            // Mirrored with the column: from the right edge.
            horizontalAlignment: Text.AlignLeft
        }

        UButtons {
            spacing: 16

            Button {
                objectName: "confirmYes"
                text: dialog.yes
                highlighted: true
                onClicked: {
                    dialog.accepted()
                    dialog.close()
                }
            }

            Button {
                objectName: "confirmNo"
                text: dialog.no
                onClicked: dialog.close()
            }
        }
    }
}
