import QtQuick 2.15
import QtQuick.Controls 2.15

// The one tab look of the program: the chosen tab dark with light words, the others light, as a
// chosen toggle button draws. `foreground` is the words' colour, for tabs with their own content.
TabButton {
    id: control

    readonly property color foreground: checked ? palette.brightText : palette.buttonText

    contentItem: Text {
        text: control.text
        font: control.font
        color: control.foreground
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }

    background: Rectangle {
        objectName: "tabBackground"
        implicitHeight: 40
        color: Qt.darker(control.checked ? control.palette.dark : control.palette.button, control.down ? 1.2 : 1.0)
    }
}
