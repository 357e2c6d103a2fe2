import QtQuick 2.15
import QtQuick.Controls 2.15

// The entries that match what was typed; choosing one hands it back.
Popup {
    id: dialog

    property var entries: []
    signal chosen(var entry)

    padding: 0
    height: Math.min(list.contentHeight, 200)

    function show(found) {
        entries = found
        if (!opened)
            open()
    }

    function label(entry) {
        if (entry.title !== undefined)
            return String(entry.title)
        return String(entry.name_family || "") + "  " + String(entry.mobile_1 || "")
    }

    ListView {
        id: list
        anchors.fill: parent
        clip: true
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true
        model: dialog.entries
        delegate: ItemDelegate {
            objectName: "completion_" + index
            width: list.width
            contentItem: Text {
                text: dialog.label(modelData)
                textFormat: Text.PlainText
                font.pointSize: 10
                horizontalAlignment: Text.AlignLeft
            }
            onClicked: {
                dialog.chosen(modelData)
                dialog.close()
            }
        }
    }
}
