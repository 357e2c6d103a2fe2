import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "home.js" as Home

// Candidates with a tick each: what was ticked and is no longer goes to the remove list, what is
// newly ticked to the add list of the request; the store follows the server's answer.
Popup {
    id: dialog

    property string title: ""
    // Rows {id, label, initial, checked}.
    property var rows: []
    property bool sending: false
    // Only chooses: the ticked ids go to `chosen` and nothing is sent.
    property bool chooseOnly: false

    // Called with {add, remove}; the dialog closes when the answer has been applied.
    signal submitted(var diff)
    signal chosen(var ids)

    function setRows(candidates, idKey, labelKey, tickedIds) {
        rows = candidates.map(function (c) {
            var id = String(c[idKey])
            var on = tickedIds.indexOf(id) !== -1
            return {"id": id, "label": String(c[labelKey] || ""), "initial": on, "checked": on}
        })
    }

    function setChecked(index, value) {
        var list = rows.slice()
        list[index] = Home.copy(list[index])
        list[index].checked = value
        rows = list
    }

    function tickAll(value) {
        rows = rows.map(function (r) {
            var row = Home.copy(r)
            row.checked = value
            return row
        })
    }

    function submit() {
        if (chooseOnly) {
            chosen(rows.filter(function (r) { return r.checked }).map(function (r) { return r.id }))
            close()
            return
        }
        var diff = Home.tickDiff(rows, "id")
        if (diff.add.length === 0 && diff.remove.length === 0) {
            close()
            return
        }
        sending = true
        submitted(diff)
    }

    // As tall as its rows need, up to the window's height less a margin; beyond it the rows scroll.
    readonly property real room: Overlay.overlay ? Overlay.overlay.height - 2 * edge : 520
    readonly property int edge: 24
    readonly property int rowHeight: 44

    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: Math.min(420, Overlay.overlay ? Overlay.overlay.width - 2 * edge : 420)
    height: Math.min(room, topPadding + bottomPadding + column.chrome + rows.length * rowHeight)
    padding: 12

    contentItem: Column {
        id: column
        // Everything but the rows.
        readonly property real chrome: heading.height + selectAll.height + submitButton.height + 3 * spacing
        spacing: 8
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        UTitle {
            id: heading
            title: dialog.title
        }

        Switch {
            id: selectAll
            objectName: "selectAll"
            width: parent ? parent.width : 0
            text: Home.texts.selectAll
            font.family: Fonts.app
            checked: dialog.rows.length > 0 && dialog.rows.every(function (r) { return r.checked })
            onToggled: dialog.tickAll(checked)
        }

        ListView {
            id: list
            width: parent ? parent.width : 0
            height: Math.max(0, dialog.availableHeight - column.chrome)
            clip: true
            model: dialog.rows
            ScrollBar.vertical: ScrollBar {
                objectName: "accessScroll"
                policy: list.contentHeight > list.height ? ScrollBar.AlwaysOn : ScrollBar.AsNeeded
            }
            delegate: TickRow {
                objectName: "access_" + index
                width: list.width
                height: dialog.rowHeight
                label: modelData.label
                ticked: modelData.checked
                onTickChanged: dialog.setChecked(index, value)
            }
        }

        UButtons {
            id: submitButton
            Button {
                objectName: "accessSubmit"
                enabled: !dialog.sending
                text: "ثبت"
                font.family: Fonts.app
                onClicked: dialog.submit()
            }
        }
    }
}
