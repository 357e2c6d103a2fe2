import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// A question with yes and no; accepted only on yes.
Popup {
    id: dialog

    property string title: ""
    property string text: ""

    signal accepted()

    function initial(options) {
        if (!options)
            return
        if (options.title !== undefined) title = options.title
        if (options.text !== undefined) text = options.text
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

        Text {
            width: parent ? parent.width : 0
            text: dialog.title
            font.family: Fonts.app
            font.pointSize: Consts.largeFont
            font.bold: true
            horizontalAlignment: Text.AlignHCenter
        }

        Text {
            width: parent ? parent.width : 0
            text: dialog.text
            textFormat: Text.PlainText
            wrapMode: Text.WordWrap
            font.family: Fonts.app
            font.pointSize: Consts.normalFont
            horizontalAlignment: Text.AlignHCenter
        }

        Row {
            spacing: 8
            anchors.horizontalCenter: parent ? parent.horizontalCenter : undefined
            Button {
                objectName: "confirmYes"
                text: "بله"
                font.family: Fonts.app
                onClicked: {
                    dialog.accepted()
                    dialog.close()
                }
            }
            Button {
                objectName: "confirmNo"
                text: "خیر"
                font.family: Fonts.app
                onClicked: dialog.close()
            }
        }
    }
}
