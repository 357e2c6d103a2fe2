import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// A titled dialog with one text field; accepted gives the text. The opener closes it once the
// server agrees, so a refused name stays to be corrected; "تایید" waits while `sending`.
Popup {
    id: dialog

    property string title: ""
    property string field: ""
    property alias value: input.text
    property bool sending: false

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
            onAccepted: if (ok.enabled) ok.clicked()
        }

        UButtons {
            Button {
                id: ok
                objectName: "nameOk"
                text: "تایید"
                enabled: !dialog.sending
                font.family: Fonts.app
                onClicked: dialog.accepted(input.text)
            }
            Button {
                text: "انصراف"
                font.family: Fonts.app
                onClicked: dialog.close()
            }
        }
    }
}
