import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "list.js" as L

// One sort field and one direction for a board's list.
Dialog {
    id: sortDialog

    property int propertyType: -1
    property int tradeType: -1
    property string field: "_id"
    property string direction: "desc"
    readonly property var fields: L.sortFields(propertyType, tradeType, Consts.tradeTypeIs(tradeType))

    signal chosen(string field, string direction)

    function initial(options) {
        if (options.propertyType !== undefined) propertyType = Number(options.propertyType)
        if (options.tradeType !== undefined) tradeType = Number(options.tradeType)
        if (options.field) field = options.field
        if (options.direction) direction = options.direction
        open()
    }

    objectName: "sortDialog"
    modal: true
    anchors.centerIn: Overlay.overlay
    width: 360
    title: "ترتیب بر اساس"

    contentItem: Column {
        id: choices
        spacing: 2
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        Repeater {
            model: sortDialog.fields
            // Full width, so that mirrored the circle and its words start at the right edge. By
            // the column's id: a button being torn down has no parent any more.
            RadioButton {
                width: choices.width
                text: modelData.title
                checked: sortDialog.field === modelData.key
                onClicked: sortDialog.field = modelData.key
            }
        }
        Rectangle { width: parent.width; height: 1; color: "#e0e0e0" }
        Row {
            width: parent.width
            spacing: 12
            Repeater {
                model: L.sortDirections
                RadioButton {
                    text: modelData.title
                    checked: sortDialog.direction === modelData.key
                    onClicked: sortDialog.direction = modelData.key
                }
            }
        }
    }

    header: UTitle { padding: 12; title: sortDialog.title }
    footer: UButtons {
        padding: 12
        Button { text: "تایید"; onClicked: sortDialog.accept() }
    }

    onAccepted: chosen(field, direction)
}
