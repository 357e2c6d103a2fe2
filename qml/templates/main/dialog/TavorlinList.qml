import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "../home.js" as Home
import "../boardreads.js" as Reads

// The boards of a shelf in a dialog, with their counts; a board opens its file list.
Popup {
    id: dialog
    objectName: "tavorlinListDialog"

    property var shelf: ({})
    property var tiles: []
    property var read: null

    function initial(options) {
        shelf = options && options.shelf ? options.shelf : {}
        var agent = Account.isManagerLevel() ? "" : Account.agentId()
        read = Reads.shelfBoards(Database, shelf._id, agent, function (list) {
            tiles = Home.boardModel(list, false, false)
            if (tiles.length > 0)
                read = Reads.counts(Database, tiles, function (counts) {
                    read = null
                    tiles = Home.applyCounts(tiles, counts)
                })
            else
                read = null
        })
    }

    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: 420
    height: 520
    padding: 12

    contentItem: ListView {
        id: list
        clip: true
        model: dialog.tiles
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true
        header: UTitle {
            width: list.width
            padding: 8
            title: dialog.shelf.name || ""
        }
        delegate: ItemDelegate {
            width: list.width
            onClicked: {
                Home.openContainer(Templates, Consts.desktop, "fileList", Home.boardListOptions(modelData))
                dialog.close()
            }
            contentItem: Row {
                spacing: 8
                Label {
                    width: list.width - 120
                    text: modelData.name || modelData.title || ""
                    textFormat: Text.PlainText
                    elide: Text.ElideRight
                    font.family: Fonts.app
                }
                Label {
                    text: String(modelData.count) + (Number(modelData.badge) > 0 ? " (" + modelData.badge + ")" : "")
                    font.family: Fonts.app
                }
            }
        }
    }

    Component.onDestruction: Reads.cancel(read)
}
