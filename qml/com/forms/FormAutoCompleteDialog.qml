import QtQuick 2.15
import QtQuick.Controls 2.15

// The entries that match what was typed; choosing one hands it back. It lies in the form's flow
// under its input rather than over the inputs below it, so a click meant for another input always
// reaches it; it takes no focus and goes as soon as its input loses the focus.
Rectangle {
    id: dialog

    property var entries: []
    // The text field whose typing it completes.
    property Item input: null
    signal chosen(var entry)

    visible: false
    height: visible ? Math.min(list.contentHeight, 200) : 0
    border.color: "#9e9e9e"
    clip: true

    function show(found) {
        entries = found
        visible = input === null || input.activeFocus
        if (visible)
            bringIntoView()
    }

    function close() {
        visible = false
        entries = []
    }

    function label(entry) {
        if (entry.title !== undefined)
            return String(entry.title)
        return String(entry.name_family || "") + "  " + String(entry.mobile_1 || "")
    }

    // The nearest scrolling view holding the list shows all of it: a list below the visible part
    // of the form would go unseen.
    function bringIntoView() {
        for (var p = dialog.parent; p; p = p.parent) {
            if (p.contentY !== undefined && p.contentItem !== undefined && p.contentHeight !== undefined) {
                var bottom = dialog.mapToItem(p.contentItem, 0, 0).y + Math.min(list.contentHeight, 200)
                if (bottom > p.contentY + p.height)
                    p.contentY = bottom - p.height
                return
            }
        }
    }

    Connections {
        target: dialog.input
        function onActiveFocusChanged() {
            if (!dialog.input.activeFocus)
                dialog.close()
        }
    }

    ListView {
        id: list
        anchors.fill: parent
        anchors.margins: 1
        clip: true
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true
        model: dialog.entries
        delegate: ItemDelegate {
            objectName: "completion_" + index
            width: list.width
            // The input keeps the focus: what is typed next still goes there.
            focusPolicy: Qt.NoFocus
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
