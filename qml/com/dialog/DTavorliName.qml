import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// A titled dialog with one text field; accepted gives the text.
Popup {
    id: dialog

    property string title: ""
    property string field: ""
    property alias value: input.text

    signal accepted(string text)

    function initial(options) {
        if (!options)
            return
        if (options.title !== undefined) title = options.title
        if (options.field !== undefined) field = options.field
        if (options.value !== undefined) input.text = options.value
    }

    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: 400
    padding: 20

    contentItem: Column {
        spacing: 12
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        UTitle {
            title: dialog.title
        }

        TextField {
            id: input
            objectName: "nameField"
            width: parent ? parent.width : 0
            placeholderText: dialog.field
            font.family: Fonts.app
            onAccepted: ok.clicked()
        }

        UButtons {
            Button {
                id: ok
                objectName: "nameOk"
                text: "تایید"
                font.family: Fonts.app
                onClicked: {
                    dialog.accepted(input.text)
                    dialog.close()
                }
            }
            Button {
                text: "انصراف"
                font.family: Fonts.app
                onClicked: dialog.close()
            }
        }
    }
}
