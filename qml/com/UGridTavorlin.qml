import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// One cell of a shelf's boards: a board with its count and unseen badge, or an extra tile
// (color -1000 adds a board, -2000 opens the phone book).
Item {
    id: cell

    property var tile: ({})
    property bool lifted: false
    // The board menu is the manager's: without it neither the button nor a right click offers it.
    property bool menuShown: true
    readonly property bool addTile: tile.color === -1000
    readonly property bool phoneTile: tile.color === -2000
    readonly property bool extra: addTile || phoneTile

    signal clicked()
    signal menu()
    // A press held 1500 ms lifts a board; moves and the release come in the cell's coordinates.
    signal lift()
    signal dragMoved(real x, real y)
    signal dropped(real x, real y)

    opacity: lifted ? 0.6 : 1
    scale: lifted ? 1.05 : 1

    // Under the content, so the menu button takes its own clicks.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.LeftButton | Qt.RightButton
        pressAndHoldInterval: 1500
        onClicked: {
            if (mouse.button === Qt.RightButton) {
                if (!cell.extra && cell.menuShown)
                    cell.menu()
            } else if (!cell.lifted) {
                cell.clicked()
            }
        }
        onPressAndHold: {
            if (!cell.extra)
                cell.lift()
        }
        onPositionChanged: {
            if (cell.lifted)
                cell.dragMoved(mouse.x, mouse.y)
        }
        onReleased: {
            if (cell.lifted)
                cell.dropped(mouse.x, mouse.y)
        }
    }

    Rectangle {
        anchors.fill: parent
        anchors.margins: 6
        radius: 8
        color: "#ffffff"
        border.color: cell.extra ? "#90a4ae" : Consts.tavorlin_header_color(cell.tile.color)
        border.width: 1

        Rectangle {
            id: head
            visible: !cell.extra
            width: parent.width
            height: 36
            radius: 8
            color: Consts.tavorlin_header_color(cell.tile.color)

            Label {
                anchors.verticalCenter: parent.verticalCenter
                // Laid out from the start edge; the boards screen mirrors it to the right.
                anchors.left: parent.left
                anchors.leftMargin: 10
                width: parent.width - 70
                horizontalAlignment: Text.AlignLeft
                text: cell.tile.name ? cell.tile.name : (cell.tile.title || "")
                textFormat: Text.PlainText
                elide: Text.ElideRight
                color: Consts.tavorlin_header_font_color(cell.tile.color)
                font.family: Fonts.app
                font.pointSize: Consts.smallFont
            }

            ToolButton {
                objectName: "boardMenu"
                visible: cell.menuShown
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                width: 32
                height: 32
                text: "⋮"
                onClicked: cell.menu()
            }
        }

        Text {
            visible: !cell.extra
            anchors.top: head.bottom
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: countText.top
            anchors.margins: 8
            text: cell.tile.filter_name || ""
            textFormat: Text.PlainText
            wrapMode: Text.WordWrap
            elide: Text.ElideRight
            horizontalAlignment: Text.AlignLeft
            font.family: Fonts.app
            font.pointSize: Consts.xSmallFont
            color: "#616161"
        }

        Text {
            id: countText
            objectName: "boardCount"
            visible: !cell.extra
            anchors.bottom: parent.bottom
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.bottomMargin: 8
            text: String(cell.tile.count || 0) + " فایل"
            font.family: Fonts.app
            font.pointSize: Consts.smallFont
        }

        Rectangle {
            objectName: "boardBadge"
            visible: !cell.extra && Number(cell.tile.badge) > 0
            anchors.bottom: parent.bottom
            anchors.left: parent.left
            anchors.margins: 8
            width: Math.max(22, badgeLabel.implicitWidth + 10)
            height: 22
            radius: 11
            color: "#e53935"
            Text {
                id: badgeLabel
                anchors.centerIn: parent
                text: String(cell.tile.badge || 0)
                color: "#ffffff"
                font.pointSize: Consts.xSmallFont
            }
        }

        Text {
            visible: cell.extra
            anchors.centerIn: parent
            horizontalAlignment: Text.AlignHCenter
            text: cell.addTile ? "+\nافزودن Tavorlin" : "دفترچه تلفن"
            font.family: Fonts.app
            font.pointSize: Consts.normalFont
            color: "#546e7a"
        }
    }

}
