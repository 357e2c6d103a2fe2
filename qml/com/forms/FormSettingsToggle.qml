import QtQuick 2.15
import QtQuick.Controls 2.15

// A choice of the form settings: ticked means hidden from the listing form.
CheckBox {
    id: box

    property var toggleItem: ({})
    signal toggled(var toggleItem, bool checked)

    objectName: "setting_" + (toggleItem ? toggleItem.key : "")
    text: toggleItem ? String(toggleItem.title || "") : ""
    onClicked: toggled(toggleItem, checked)

    contentItem: Text {
        text: box.text
        textFormat: Text.PlainText
        font.pointSize: 10
        verticalAlignment: Text.AlignVCenter
        rightPadding: box.indicator.width + box.spacing
        leftPadding: 0
    }
}
