import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// A searchable list; picking a row closes it.
Popup {
    id: dialog
    objectName: "pickList"

    property string title: ""
    // Rows {label, value}.
    property var rows: []
    readonly property var shown: rows.filter(function (r) {
        return search.text === "" || Consts.textHas(r.label, search.text)
    })

    signal picked(var value)

    function initial(options) {
        if (!options)
            return
        if (options.title !== undefined) title = options.title
        if (options.rows !== undefined) rows = options.rows
    }

    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: 380
    height: 460
    padding: 12

    contentItem: Column {
        spacing: 8
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        UTitle {
            title: dialog.title
        }

        TextField {
            id: search
            objectName: "pickSearch"
            width: parent ? parent.width : 0
            placeholderText: "جستجو"
            font.family: Fonts.app
        }

        ListView {
            id: list
            width: parent ? parent.width : 0
            height: dialog.availableHeight - 100
            clip: true
            model: dialog.shown
            delegate: ItemDelegate {
                objectName: "pick_" + index
                width: list.width
                onClicked: {
                    dialog.picked(modelData.value)
                    dialog.close()
                }
                contentItem: Label {
                    text: modelData.label
                    textFormat: Text.PlainText
                    horizontalAlignment: Text.AlignLeft
                    font.family: Fonts.app
                }
            }
        }
    }
}
