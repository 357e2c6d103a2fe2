import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "home.js" as Home
import "boardreads.js" as Reads
import "qrc:/com/rowsync.js" as RowSync

// Which boards stand on a shelf: every board of the owner, ticked when it stands there.
Page {
    id: page
    objectName: "tavorlinsShelf"

    property var shelf: ({})
    property var rows: []
    property var read: null
    property bool sending: false

    signal changed()

    // The list shows the rows through a model changed in place, so a tick keeps its place.
    onRowsChanged: RowSync.assign(boardRows, rows, function (b) { return String(b.id !== undefined ? b.id : b._id) })

    ListModel {
        id: boardRows
    }

    LayoutMirroring.enabled: true
    LayoutMirroring.childrenInherit: true

    function load() {
        Reads.cancel(read)
        read = Reads.allBoards(Database, shelf._id, function (list) {
            read = null
            rows = list.map(function (board) {
                var row = Home.copy(board)
                row.initial = board.checked === true
                row.checked = board.checked === true
                return row
            })
        })
    }

    function setChecked(index, value) {
        var list = rows.slice()
        list[index] = Home.copy(list[index])
        list[index].checked = value
        rows = list
    }

    function submit() {
        try {
            var change = Home.shelfBoardsChange(rows, Account.userId())
            if (change.tavorlin_add.length === 0 && change.tavorlin_remove.length === 0) {
                Stacks.back()
                return
            }
            var content = {"user_id": Account.userId(), "agent_id": Account.agentId(), "shelf_id": shelf._id,
                           "tavorlin_remove": change.tavorlin_remove, "tavorlin_add": change.tavorlin_add}
            sending = Home.request(Sockets, Toast.show, "shelf_tavorlin", content, null, false, function (result, reply) {
                sending = false
                if (!applyReply(result, reply.timestamp)) {
                    Toast.show(Home.messageOf(reply))
                    return
                }
                page.changed()
                Stacks.back()
            }, function () { sending = false })
        } catch (e) {
            sending = false
            Toast.error(e, "Tavorlins_Shelf.submit")
        }
    }

    // The boards the server created come first, so that they exist when they are placed.
    // A list that is not a list changes nothing.
    function applyReply(content, timestamp) {
        var lists = [content.tavorlin_add, content.tavorlin_remove]
        for (var i = 0; i < lists.length; ++i) {
            if (lists[i] !== undefined && lists[i] !== null && !Array.isArray(lists[i]))
                return false
        }
        var created = Home.createdBoards(content.tavorlins)
        if (created.length > 0)
            Database.saveTavorlins(created, Number(timestamp) || -1)
        Database.changeShelvesTavorlins(String(content.shelf_id), Home.shelfBoardsAdded(content.tavorlin_add, created),
                                        Home.idList(content.tavorlin_remove), Number(timestamp) || -1)
        return true
    }

    header: ToolBar {
        Row {
            anchors.fill: parent
            spacing: 8
            ToolButton {
                font.family: Fonts.icon
                font.pointSize: 16
                text: String.fromCodePoint(parseInt(Icons.arrowRight, 16))
                onClicked: Stacks.back()
            }
            Label {
                anchors.verticalCenter: parent.verticalCenter
                text: "انتخاب Tavorlin های کمد " + (page.shelf.name || "")
                textFormat: Text.PlainText
                font.family: Fonts.app
                font.pointSize: Consts.normalFont
            }
        }
    }

    ListView {
        id: list
        objectName: "chooseBoards"
        anchors.fill: parent
        anchors.bottomMargin: 64
        clip: true
        model: boardRows
        delegate: TickRow {
            readonly property var modelData: JSON.parse(model.json)
            objectName: "choose_" + index
            width: list.width
            label: modelData.title || modelData.name || ""
            ticked: modelData.checked
            onTickChanged: page.setChecked(index, value)
        }
    }

    Button {
        objectName: "chooseSubmit"
        anchors.bottom: parent.bottom
        anchors.horizontalCenter: parent ? parent.horizontalCenter : undefined
        anchors.bottomMargin: 12
        enabled: !page.sending
        text: "ثبت"
        font.family: Fonts.app
        onClicked: page.submit()
    }

    Component.onCompleted: load()
    Component.onDestruction: Reads.cancel(read)
}
