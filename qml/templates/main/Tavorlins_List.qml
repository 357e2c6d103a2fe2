import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "home.js" as Home
import "boardreads.js" as Reads

// The boards of one shelf with their counts; boards are reordered by holding and dragging them.
Page {
    id: page
    objectName: "tavorlinsList"

    property var shelf: ({})
    property var tiles: []
    property string zoom: Settings.app_data.tavorlin_zoom || "small"
    property bool firstShown: false
    property bool chooseWhenShown: false
    // The reads in flight for this screen; a reload gives them up.
    property var listRead: null
    property var countRead: null
    property int dragFrom: -1
    property int dragTo: -1
    // Counted when the counts reach the tiles; the benchmark and the tests wait for it.
    property int countsApplied: 0
    // The rights the tiles were made with; a pushed change of them makes the tiles again.
    readonly property string rights: managerLevel() + "/" + Account.canSeePhoneBook()
    // The board menu hands out access and removes boards: manager level only, as the shelf menu.
    // What it opened closes when the account loses that level.
    readonly property bool boardMenus: managerLevel()
    readonly property var menuDialogs: []
    onBoardMenusChanged: if (!boardMenus) menuDialogs.slice().forEach(function (d) { d.close() })
    property bool started: false
    onRightsChanged: if (started && Account.get()) reload()

    LayoutMirroring.enabled: true
    LayoutMirroring.childrenInherit: true

    function managerLevel() { return Account.isManagerLevel() }

    function reload() {
        try {
            Reads.cancel(listRead)
            Reads.cancel(countRead)
            countRead = null
            listRead = Reads.shelfBoards(Database, shelf._id, managerLevel() ? "" : Account.agentId(), showBoards)
        } catch (e) {
            Toast.error(e, "Tavorlins_List.reload")
        }
    }

    function showBoards(list) {
        try {
            listRead = null
            tiles = Home.boardModel(list, managerLevel(), Account.canSeePhoneBook())
            if (!firstShown) {
                firstShown = true
                if (Home.onlyExtras(tiles) && managerLevel()) {
                    // A page pushed while this one is still sliding in would upset the stack.
                    if (page.StackView.view && page.StackView.status !== StackView.Active)
                        chooseWhenShown = true
                    else
                        chooseBoards()
                    return
                }
            }
            var boards = Home.boardsOnly(tiles)
            if (boards.length > 0)
                countRead = Reads.counts(Database, boards, applyCounts)
        } catch (e) {
            Toast.error(e, "TavorlinListReady")
        }
    }

    function applyCounts(counts) {
        countRead = null
        tiles = Home.applyCounts(tiles, counts)
        countsApplied++
    }

    // The files changed: only the counts are read again; boards being read get theirs after.
    function recount() {
        if (listRead !== null)
            return
        var boards = Home.boardsOnly(tiles)
        if (boards.length === 0)
            return
        Reads.cancel(countRead)
        countRead = Reads.counts(Database, boards, applyCounts)
    }

    function cycleZoom() {
        try {
            zoom = Home.nextZoom(zoom)
            var data = Home.copy(Settings.app_data)
            data.tavorlin_zoom = zoom
            Settings.app_data = data
            Settings.save()
            reload()
        } catch (e) {
            Toast.error(e, "cycleZoom")
        }
    }

    function openBoard(tile) {
        try {
            if (tile.color === Home.addTile) {
                var choice = Home.openDialog(Templates, "main/dialog/TavorlinAdd.qml", {})
                if (choice) {
                    choice.newBoard.connect(newBoard)
                    choice.chooseBoards.connect(chooseBoards)
                }
            } else if (tile.color === Home.phoneTile) {
                Home.openContainer(Templates, Consts.desktop, "contact", {})
            } else {
                Home.openContainer(Templates, Consts.desktop, "fileList", Home.boardListOptions(tile),
                                   function (board) { page.tiles = Home.withOrder(page.tiles, board) })
            }
        } catch (e) {
            Toast.error(e, "openBoard")
        }
    }

    function newBoard() {
        return Home.openContainer(Templates, Consts.desktop, "tavorlin", {"shelf": Home.copy(shelf)},
                                  function () { reload() })
    }

    function chooseBoards() {
        var screen = Templates.initial("main/Tavorlins_Shelf.qml", {"shelf": Home.copy(shelf)})
        if (screen && screen.changed)
            screen.changed.connect(reload)
        return screen
    }

    function boardMenu(tile) {
        try {
            if (!boardMenus)
                return null
            var menu = keep(Home.openDialog(Templates, "main/dialog/TavorlinSetting.qml", {"tavorlin": Home.copy(tile)}))
            if (menu)
                menu.chosen.connect(function (key) { boardAction(key, Home.copy(tile)) })
            return menu
        } catch (e) {
            Toast.error(e, "boardMenu")
            return null
        }
    }

    function keep(dialog) {
        var open = menuDialogs
        if (dialog) {
            open.push(dialog)
            dialog.closed.connect(function () {
                var at = open.indexOf(dialog)
                if (at !== -1)
                    open.splice(at, 1)
            })
        }
        return dialog
    }

    function owner() {
        return {"user_id": Account.userId(), "agent_id": Account.agentId()}
    }

    function boardAction(key, board) {
        try {
            if (!boardMenus)
                return
            if (key === "delete") {
                keep(Templates.confirm({"title": Home.texts.confirm, "text": Home.boardDeleteText(board)},
                                       function () { deleteBoard(board) }))
            } else if (key === "color") {
                var colour = keep(Home.openDialog(Templates, "main/Tavorlins.qml", {"colorMode": true, "tavorlin": board}))
                if (colour)
                    colour.colorChosen.connect(function (color) { editBoard(board, color, board.name || "") })
            } else if (key === "name") {
                var name = keep(Home.openDialog(Templates, "dialog/DTavorliName.qml",
                                                {"title": Home.texts.renameTitle, "field": Home.texts.renameField,
                                                 "value": board.name || ""}, "com"))
                if (name)
                    renameBoard(name, board)
            } else if (key === "access") {
                keep(Home.openDialog(Templates, "main/dialog/TavorlinAgentAccess.qml", {"tavorlin": board}))
            } else if (key === "remove") {
                removeFromShelf(board)
            }
        } catch (e) {
            Toast.error(e, "boardAction")
        }
    }

    // Answers may come after this page has gone: the store is written through references kept here.
    function deleteBoard(board) {
        var db = Database
        var content = owner()
        content.tavorlin_id = board._id
        Home.request(Sockets, Toast.show, "tavorlin_remove", content, {"tavorlin_local_id": board.id}, true,
                     function (result, reply) {
            db.deleteTavorlin(String(result._id), Number(reply.timestamp) || -1)
            var localId = reply.payload && reply.payload.tavorlin_local_id !== undefined
                    ? reply.payload.tavorlin_local_id : board.id
            removeTile(localId)
        })
    }

    // The name dialog keeps what was typed until the server agrees; closed meanwhile, it is left alone.
    function renameBoard(dialog, board) {
        var open = true
        dialog.closed.connect(function () { open = false })
        dialog.accepted.connect(function (text) {
            dialog.sending = editBoard(board, Number(board.color), text.trim(),
                                       function () { if (open) dialog.close() },
                                       function () { if (open) dialog.sending = false })
        })
    }

    // True while an answer is awaited; `done` and `failed` follow the answer.
    function editBoard(board, color, name, done, failed) {
        var db = Database
        var content = owner()
        content.tavorlin_id = board._id
        content.color = color
        content.name = name
        return Home.request(Sockets, Toast.show, "tavorlin_edit", content, {"tavorlin": board}, true,
                     function (result, reply) {
            db.editTavorlin(String(result._id), Number(result.color), String(result.name || ""),
                            Number(reply.timestamp) || -1)
            if (done)
                done()
            // The title as the store computes it: the name, or without one the board's kind and filter.
            var stored = db.getTavorlin(String(result._id))
            updateTile(String(result._id), Number(result.color), String(result.name || ""),
                       stored && stored.error === undefined ? stored.title : undefined)
        }, failed)
    }

    function removeFromShelf(board) {
        var db = Database
        var content = owner()
        content.shelf_id = shelf._id
        content.tavorlin_id = board._id
        Home.request(Sockets, Toast.show, "shelf_tavorlin_remove", content, null, false, function (result, reply) {
            db.changeShelvesTavorlins(String(result.shelf_id), [], [String(result.tavorlin_id)],
                                      Number(reply.timestamp) || -1)
            tiles = tiles.filter(function (t) { return Home.isExtra(t) || t._id !== String(result.tavorlin_id) })
        })
    }

    // The board's filter text is the store's; colour, name and the title they give change here.
    function updateTile(id, color, name, title) {
        tiles = tiles.map(function (t) {
            if (Home.isExtra(t) || t._id !== id)
                return t
            var tile = Home.copy(t)
            tile.color = color
            tile.name = name
            if (title !== undefined)
                tile.title = title
            return tile
        })
    }

    function removeTile(localId) {
        tiles = tiles.filter(function (t) { return Home.isExtra(t) || t.id !== localId })
    }

    // The move is local only: the store's order changes and nothing goes to the server.
    function moveBoard(from, to) {
        try {
            var boards = Home.boardsOnly(tiles)
            if (from < 0 || from >= boards.length)
                return false
            to = Math.max(0, Math.min(to, boards.length - 1))
            var after = Home.moved(boards, from, to)
            var ends = Home.moveEnds(after, from, to)
            if (!ends)
                return false
            Database.changeTavorlinPosition(ends.start, ends.end, shelf._id, ends.start)
            var extras = tiles.filter(Home.isExtra)
            tiles = after.concat(extras)
            return true
        } catch (e) {
            Toast.error(e, "moveBoard")
            return false
        }
    }

    header: UHeaderTavorli {
        title: page.shelf.name || ""
        zoom: page.zoom
        onBack: Stacks.back()
        onZoomClicked: page.cycleZoom()
        onAdvancedSearch: Home.openContainer(Templates, Consts.desktop, "search", {})
    }

    GridView {
        id: grid
        objectName: "boardGrid"
        anchors.fill: parent
        anchors.margins: 12
        clip: true
        cellWidth: width / (page.zoom === "large" ? 4 : (page.zoom === "medium" ? 5 : 6))
        cellHeight: cellWidth * 1.1
        model: page.tiles
        interactive: page.dragFrom === -1

        delegate: UGridTavorlin {
            width: grid.cellWidth
            height: grid.cellHeight
            objectName: "board_" + index
            tile: modelData
            lifted: page.dragFrom === index
            onClicked: page.openBoard(modelData)
            menuShown: page.boardMenus
            onMenu: page.boardMenu(modelData)
            onLift: {
                page.dragFrom = index
                page.dragTo = index
            }
            onDragMoved: {
                var p = mapToItem(grid.contentItem, x, y)
                var at = grid.indexAt(p.x, p.y)
                if (at !== -1)
                    page.dragTo = at
                var inView = mapToItem(grid, x, y)
                scroller.direction = inView.y < 40 ? -1 : (inView.y > grid.height - 40 ? 1 : 0)
            }
            onDropped: {
                scroller.direction = 0
                var from = page.dragFrom
                page.dragFrom = -1
                page.moveBoard(from, page.dragTo)
            }
        }
    }

    // While a board is dragged near the top or bottom edge the list scrolls by 15 px steps.
    Timer {
        id: scroller
        property int direction: 0
        interval: 30
        repeat: true
        running: direction !== 0
        onTriggered: {
            var y = grid.contentY + 15 * direction
            grid.contentY = Math.max(0, Math.min(y, Math.max(0, grid.contentHeight - grid.height)))
        }
    }

    Connections {
        target: Notification
        function onTavorlinNotify() { page.reload() }
        function onShelvesNotify() { page.reload() }
    }

    // Files written anywhere, a board's list over this screen included, change the counts.
    UFilesWatch {
        seen: page.visible
        onRefresh: page.recount()
    }

    StackView.onActivated: {
        if (chooseWhenShown) {
            chooseWhenShown = false
            chooseBoards()
        }
    }

    Component.onCompleted: {
        started = true
        reload()
    }
    Component.onDestruction: {
        Reads.cancel(listRead)
        Reads.cancel(countRead)
    }
}
