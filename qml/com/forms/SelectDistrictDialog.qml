import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "forms.js" as Forms

// The agency's districts with a tick each; confirming reports what was dropped and what was added.
Popup {
    id: dialog

    property var districts: []
    property var selected: []
    property var ticked: []

    signal confirmed(var removed, var added)

    objectName: "selectDistrictDialog"
    modal: true
    anchors.centerIn: parent
    width: Math.min(parent ? parent.width - 40 : 400, 420)
    height: Math.min(parent ? parent.height - 40 : 500, 520)

    onOpened: ticked = (selected || []).map(function (d) { return d._id })

    function isTicked(id) {
        return ticked.indexOf(id) !== -1
    }

    function tick(id, on) {
        var next = ticked.filter(function (t) { return t !== id })
        if (on)
            next.push(id)
        ticked = next
    }

    function tickAll(on) {
        ticked = on ? districts.map(function (d) { return d._id }) : []
    }

    function confirm() {
        var after = districts.filter(function (d) { return isTicked(d._id) })
        var changes = Forms.districtChanges(selected, after)
        confirmed(changes.removed, changes.added)
        close()
    }

    Column {
        anchors.fill: parent
        spacing: 6
        // A popup's content hangs on the window's overlay, outside the mirrored tree.
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        UTitle {
            title: "انتخاب منطقه"
        }

        CheckBox {
            anchors.left: parent.left
            objectName: "selectAll"
            text: "انتخاب همه"
            checked: dialog.districts.length > 0 && dialog.ticked.length === dialog.districts.length
            onClicked: dialog.tickAll(checked)
        }

        ListView {
            id: list
            width: parent.width
            height: parent.height - 140
            clip: true
            model: dialog.districts
            delegate: CheckBox {
                width: list.width
                text: String(modelData.title || "")
                checked: dialog.isTicked(modelData._id)
                onClicked: dialog.tick(modelData._id, checked)
                contentItem: Text {
                    text: parent.text
                    textFormat: Text.PlainText
                    verticalAlignment: Text.AlignVCenter
                    rightPadding: parent.indicator.width + parent.spacing
                }
            }
        }

        UButtons {
            Button { objectName: "districtsConfirm"; text: "تایید"; onClicked: dialog.confirm() }
            Button { text: "انصراف"; onClicked: dialog.close() }
        }
    }
}
