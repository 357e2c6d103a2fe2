import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "../home.js" as Home

// The shelves in their order; dragging one changes the local order only.
Popup {
    id: dialog
    objectName: "shelvesList"

    property var shelves: []
    property int dragFrom: -1
    property int dragTo: -1

    signal changed()

    function initial(options) {
        try {
            var take = function (list) { shelves = list }
            Database.shelvesListReady.connect(take)
            Database.getShelvesList()
            Database.shelvesListReady.disconnect(take)
        } catch (e) {
            Toast.error(e, "ShelvesList.initial")
        }
    }

    function move(from, to) {
        try {
            if (from < 0 || to < 0 || from === to || from >= shelves.length || to >= shelves.length)
                return false
            var after = Home.moved(shelves, from, to)
            Database.changeShelvesPosition(Home.shelfPositions(after, from, to))
            shelves = after
            changed()
            return true
        } catch (e) {
            Toast.error(e, "ShelvesList.move")
            return false
        }
    }

    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: 380
    height: 480
    padding: 12

    contentItem: Column {
        spacing: 8
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        UTitle {
            title: "ترتیب کمد ها"
        }

        ListView {
            id: list
            width: parent ? parent.width : 0
            height: dialog.availableHeight - 50
            clip: true
            interactive: dialog.dragFrom === -1
            model: dialog.shelves
            delegate: Rectangle {
                objectName: "shelfRow_" + index
                width: list.width
                height: 44
                color: dialog.dragFrom === index ? "#bbdefb" : (dialog.dragTo === index && dialog.dragFrom !== -1 ? "#e3f2fd" : "#ffffff")
                border.color: "#e0e0e0"
                Label {
                    anchors.fill: parent
                    anchors.margins: 10
                    text: modelData.name
                    textFormat: Text.PlainText
                    horizontalAlignment: Text.AlignLeft
                    verticalAlignment: Text.AlignVCenter
                    font.family: Fonts.app
                }
                MouseArea {
                    anchors.fill: parent
                    onPressed: {
                        dialog.dragFrom = index
                        dialog.dragTo = index
                    }
                    onPositionChanged: {
                        var p = mapToItem(list.contentItem, mouse.x, mouse.y)
                        var at = list.indexAt(p.x, p.y)
                        if (at !== -1)
                            dialog.dragTo = at
                    }
                    onReleased: {
                        var from = dialog.dragFrom
                        dialog.dragFrom = -1
                        dialog.move(from, dialog.dragTo)
                    }
                }
            }
        }
    }
}
