import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// A row with a tick and a text that is shown as written; laid out from the start edge, which
// the screens' mirroring puts on the right.
ItemDelegate {
    id: row

    property alias label: caption.text
    property bool ticked: false

    signal tickChanged(bool value)

    height: 44
    LayoutMirroring.enabled: true
    LayoutMirroring.childrenInherit: true
    onClicked: {
        box.checked = !box.checked
        row.tickChanged(box.checked)
    }

    CheckBox {
        id: box
        anchors.left: parent.left
        anchors.verticalCenter: parent.verticalCenter
        checked: row.ticked
        onToggled: row.tickChanged(checked)
    }

    Label {
        id: caption
        anchors.left: box.right
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        anchors.margins: 8
        textFormat: Text.PlainText
        elide: Text.ElideRight
        horizontalAlignment: Text.AlignLeft
        font.family: Fonts.app
        font.pointSize: Consts.normalFont
    }
}
