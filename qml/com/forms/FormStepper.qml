import QtQuick 2.15
import QtQuick.Controls 2.15

// A whole number from 0 upwards.
Row {
    id: stepper

    property var inputItem: ({})
    property string title: ""
    property int value: 0
    property bool locked: false

    signal valueEdited(var inputItem, int value)

    objectName: "stepper_" + (inputItem ? inputItem.parent_key + "_" + inputItem.key : "")
    spacing: 8

    function step(by) {
        if (locked)
            return
        var next = Math.max(0, value + by)
        if (next === value)
            return
        value = next
        valueEdited(inputItem, value)
    }

    Text {
        anchors.verticalCenter: parent.verticalCenter
        text: stepper.title
        textFormat: Text.PlainText
        font.pointSize: 10
    }
    Button { objectName: "plus"; text: "+"; width: 40; onClicked: stepper.step(1) }
    Text {
        anchors.verticalCenter: parent.verticalCenter
        text: String(stepper.value)
        width: 24
        horizontalAlignment: Text.AlignHCenter
        font.pointSize: 11
    }
    Button { objectName: "minus"; text: "-"; width: 40; onClicked: stepper.step(-1) }
}
