import QtQuick 2.15

// One choice of a card: a click flips it, except a checked choice of a single-choice card.
Rectangle {
    id: toggle

    property var toggleItem: ({})
    property string title: ""
    property bool checked: false
    property bool single: false
    property bool locked: false

    signal toggled(var toggleItem, bool checked)

    objectName: "toggle_" + (toggleItem ? toggleItem.parent_key + "_" + toggleItem.key : "")
    implicitWidth: Math.max(label.implicitWidth + 24, 64)
    implicitHeight: 38
    radius: 6
    color: checked ? "#2196F3" : "#ffffff"
    border.color: checked ? "#1565c0" : "#bdbdbd"
    opacity: locked ? 0.6 : 1

    function press() {
        if (locked || (checked && single))
            return
        // The card holds the state, so that a single choice can uncheck the one before.
        toggled(toggleItem, !checked)
    }

    Text {
        id: label
        anchors.fill: parent
        anchors.margins: 4
        text: toggle.title
        textFormat: Text.PlainText
        color: toggle.checked ? "#ffffff" : "#212121"
        font.pointSize: 10
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }

    MouseArea {
        anchors.fill: parent
        onClicked: toggle.press()
    }
}
