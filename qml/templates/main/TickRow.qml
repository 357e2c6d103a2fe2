import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// A row with a tick and a text that is shown as written.
ItemDelegate {
    id: row

    property alias label: caption.text
    property bool ticked: false

    signal tickChanged(bool value)

    height: 44
    onClicked: {
        box.checked = !box.checked
        row.tickChanged(box.checked)
    }

    CheckBox {
        id: box
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        checked: row.ticked
        onToggled: row.tickChanged(checked)
    }

    Label {
        id: caption
        anchors.right: box.left
        anchors.left: parent.left
        anchors.verticalCenter: parent.verticalCenter
        anchors.margins: 8
        textFormat: Text.PlainText
        elide: Text.ElideRight
        horizontalAlignment: Text.AlignRight
        font.family: Fonts.app
        font.pointSize: Consts.normalFont
    }
}
