import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQml 2.15
import com 1.0
import "list.js" as L
import "reads.js" as Reads
import "../../setting/applicationSettings/settings.js" as Design

// Files of a board, a tab (search results, due or old files), the drafts, a colleague's ads or
// the counterparts of one file; a board also has its pinned and recycle-bin views.
Page {
    id: fileList

    // What the caller passes.
    property var filterModel: null        // the board, a copy
    property string mode: "board"         // board, tab, search, due, old, drafts, colleague, match
    property string view: "normal"        // normal, pinned, recycle (board lists)
    property bool isTab: mode !== "board" && mode !== "drafts" && mode !== "colleague" && mode !== "match"
    property bool ignoreDelete: false
    property var tradeType: undefined
    property var propertyType: undefined
    property var filters: undefined
    property string keyword: ""
    property var colleague: null          // {"_id", "name"} of the agency whose ads are listed
    property var matchFile: null          // the file a match list is for
    // The same, as the home menu bar names them.
    property bool due_list: false
    property bool tab_list: false
    property string page_title: ""
    property var trade_type: undefined
    property var property_type: undefined
    property var filter: undefined

    // State.
    property var options: L.defaultOptions()
    property bool loading: false
    property bool firstLoad: true
    property int recycleCount: 0
    property bool selecting: false
    property bool grid: Settings.app_data.file_list_show_type ? Settings.app_data.file_list_show_type.grid === true : false
    property var scrollRecord: null
    property real restoreTo: 0
    property int generation: 0
    // From a page's read to its rows laid out, in ms.
    property double pageAskedAt: 0
    property double lastPageMs: 0
    // Set while the pages shown are read again; a change meanwhile reads them once more after.
    property bool refreshing: false
    property bool refreshAgain: false

    // The board with the order the user chose, for whoever shows the board.
    signal orderSaved(var board)

    // The cards' look from the design settings; the rows grow with its fonts.
    readonly property var look: Design.currentTemplate(Settings.app_data ? Settings.app_data.file_template : null)

    readonly property alias count: files.count
    readonly property alias view_: listView

    objectName: "fileList"
    // A match list sits under the container's own header; every other list has its own bar.
    readonly property bool ownTitleBar: mode !== "match"

    function boardName() {
        return filterModel ? (filterModel.title || filterModel.name || "") : ""
    }

    function shownTitle() {
        if (title !== "")
            return title
        if (mode === "board")
            return L.viewTitle(view, boardName())
        if (mode === "colleague" && colleague)
            return "آگهی های  " + (colleague.name || "")
        return ""
    }

    function setup() {
        var o = L.makeOptions({"filterModel": filterModel, "tradeType": tradeType, "propertyType": propertyType,
                               "filters": filters, "keyword": keyword, "isTab": isTab,
                               "ignoreDelete": ignoreDelete})
        if (mode === "board")
            o.filters = L.viewFilters(o.filters, view)
        options = o
    }

    function rowAt(i) {
        if (i < 0 || i >= files.count)
            return {}
        return JSON.parse(files.get(i).fileJson)
    }

    function rows() {
        var r = []
        for (var i = 0; i < files.count; ++i)
            r.push(rowAt(i))
        return r
    }

    function indexOf(fileId) {
        for (var i = 0; i < files.count; ++i)
            if (files.get(i).fileId === fileId)
                return i
        return -1
    }

    // Opening waits 350 ms the first time, so the page's own transition runs first.
    function reload() {
        try {
            Reads.cancel(fileList)
            generation += 1
            refreshing = false
            watch.taken()
            loading = false
            firstWait.interval = firstLoad ? 350 : 0
            firstLoad = false
            firstWait.restart()
        } catch (e) {
            Toast.error(e, "reload")
        }
    }

    function reset() {
        files.clear()
        var o = options
        o.page = 1
        o.load_more = true
        options = o
        requestPage()
        refreshCount()
    }

    function nextPage() {
        // The pages shown are being read again; the next one follows them.
        if (refreshing)
            return false
        // The rows just added must be laid out before the view's end is measured.
        listView.forceLayout()
        if (!L.wantsNextPage(listView.contentY - listView.originY, listView.height, listView.contentHeight,
                             options.load_more, loading))
            return false
        var o = options
        o.page += 1
        options = o
        requestPage()
        return true
    }

    function requestPage() {
        if (mode === "colleague" && colleague)
            return askColleagues()
        loading = true
        pageAskedAt = Date.now()
        var gen = generation
        readPage(options, options.page, function (list) {
            if (gen === generation)
                pageArrived(list)
        })
    }

    function readPage(o, page, done) {
        Reads.attach(Database)
        Reads.read(fileList, function () {
            if (mode === "drafts")
                Database.getDraftFiles()
            else if (mode === "colleague")
                Database.getColleagueFiles(o.trade_type, o.property_type, o.filters, "", "", page, o.keyword,
                                           colleague ? colleague._id : "")
            else
                Database.getFiles(o.trade_type, o.property_type, o.filters, o.order_field, o.order_type, page,
                                  o.keyword)
        }, done)
    }

    function rowOf(f) {
        if (mode === "match" && matchFile)
            f.tag_status = L.tagOf(f, matchFile._id)
        return {"fileId": f._id, "fileJson": JSON.stringify(f)}
    }

    function pageArrived(list) {
        try {
            loading = false
            for (var i = 0; i < list.length; ++i)
                files.append(rowOf(list[i]))
            var o = options
            o.load_more = list.length > 0 && mode !== "drafts"
            options = o
            Qt.callLater(afterPage)
        } catch (e) {
            Toast.error(e, "pageArrived")
        }
    }

    // The files changed in the store: the pages shown are read again and their rows put in place,
    // so the list stays where the user left it. A read under way is followed by this one.
    function refresh() {
        if (mode === "colleague")
            return
        if (loading || firstWait.running || refreshing || restoreTo > 0) {
            refreshAgain = true
            return
        }
        refreshAgain = false
        refreshing = true
        refreshCount()
        var o = options
        var pages = mode === "drafts" ? 1 : Math.max(1, o.page)
        var gen = generation
        var rows = []
        var next = function (page) {
            readPage(o, page, function (list) {
                if (gen !== generation)
                    return
                rows = rows.concat(list)
                if (page < pages && list.length > 0)
                    next(page + 1)
                else
                    refreshed(rows, list.length > 0 && mode !== "drafts")
            })
        }
        next(1)
    }

    function refreshed(list, more) {
        try {
            refreshing = false
            // Ticks are the user's, not the store's: they follow their files through the read.
            var ticked = selecting ? selectedRows().map(function (r) { return r.file._id }) : []
            for (var i = 0; i < list.length; ++i) {
                var row = rowOf(L.ticked(list[i], ticked))
                if (i >= files.count)
                    files.append(row)
                else if (files.get(i).fileJson !== row.fileJson)
                    files.set(i, row)
            }
            if (files.count > list.length)
                files.remove(list.length, files.count - list.length)
            var o = options
            o.load_more = more
            options = o
            if (refreshAgain)
                refresh()
            else
                Qt.callLater(nextPage)
        } catch (e) {
            Toast.error(e, "refreshed")
        }
    }

    // Pages on until the remembered position is reached, then scrolls there once.
    function afterPage() {
        listView.forceLayout()
        lastPageMs = Date.now() - pageAskedAt
        if (refreshAgain && restoreTo === 0)
            Qt.callLater(refresh)
        if (restoreTo > 0) {
            if (listView.contentHeight >= restoreTo + listView.height || !options.load_more) {
                // Once the page has its final size, which a page still being pushed may not have.
                restoreLater.restart()
            } else {
                var o = options
                o.page += 1
                options = o
                requestPage()
            }
            return
        }
        nextPage()
    }

    function refreshCount() {
        if (mode !== "board" || view !== "normal")
            return
        recycleCount = Database.getFilesCount(options.trade_type, options.property_type,
                                              L.binCountFilters(options.filters), false)
    }

    // Colleague ads come from the server; another agency's are stored first, then read back.
    function askColleagues() {
        loading = true
        var own = colleague._id === Account.userId()
        var content = {"user_id": Account.userId(), "agent_id": Account.agentId(), "colleague_id": colleague._id,
                       "property_id": options.property_type, "page": options.page,
                       "seen": !own && options.page === 1}
        var gen = generation
        Sockets.on("property_colleague_result", function (reply) {
            if (gen !== generation)
                return
            try {
                var c = reply.content
                var entries = Array.isArray(c) ? c : (c && Array.isArray(c.list) ? c.list : [])
                if (entries.length === 0) {
                    loading = false
                    var o = options
                    o.load_more = false
                    options = o
                    if (options.page === 1)
                        Toast.show(Sockets.messageText(reply, "آگهی یافت نشد"))
                    return
                }
                var list = entries.map(function (e) {
                    var f = e.file_ref || {}
                    f.status = f.status || {}
                    f.status.ad_colleague = true
                    return f
                })
                if (!own)
                    Database.saveColleagueFiles(list, Number(options.property_type), colleague._id)
                Reads.attach(Database)
                // Storing a colleague's page replaces the pages stored before it, so the store holds
                // just this page: it is read as the first.
                var page = own ? options.page : 1
                // The agency's own store holds all its files: only those it offers to colleagues.
                var filters = own && !L.hasKey(options.filters, "status.ad_colleague")
                        ? options.filters.concat([L.item("status.ad_colleague", "true")]) : options.filters
                Reads.read(fileList, function () {
                    Database.getColleagueFiles(options.trade_type, options.property_type, filters, "", "",
                                               page, options.keyword, colleague._id)
                }, function (rows) {
                    if (gen === generation)
                        pageArrived(rows)
                })
            } catch (e) {
                loading = false
                Toast.error(e, "property_colleague_result")
            }
        })
        Sockets.on("property_colleague_result_error", function () { loading = false })
        Sockets.send("property_colleague", content)
    }

    function openView(name) {
        Templates.open(fileList, "files/list/List.qml", {"filterModel": filterModel, "mode": "board", "view": name})
    }

    function goBack() {
        Stacks.leave(fileList)
    }

    // An answered action on one file, from this list's menu or from the file's detail. Shown in
    // place on a list in front, as the list's own change; `before` is the files revision before it.
    function applyAction(key, fileId, value, before) {
        // A read under way may bring the rows as they were before the action: one more follows it.
        if (refreshing || loading)
            refreshAgain = true
        else if (visible && before !== undefined)
            watch.shownInPlace(before)
        var i = indexOf(fileId)
        if (i === -1)
            return
        var effect = L.listEffect(key, isTab, mode === "due", view === "pinned" && value === false)
        if (effect === "remove")
            files.remove(i)
        else
            files.setProperty(i, "fileJson", JSON.stringify(L.updatedRow(rowAt(i), key, value)))
    }

    function openFile(i) {
        var f = rowAt(i)
        if (selecting) {
            f.select = !f.select
            files.setProperty(i, "fileJson", JSON.stringify(f))
            return
        }
        if (mode === "drafts") {
            openDraft(f)
            return
        }
        if (!f._id)
            return
        var detail = Templates.open(fileList, "files/FileDetail.qml", {"fileId": f._id, "summary": f})
        if (detail && detail.actionApplied) {
            detail.actionApplied.connect(function (key, fileId, value) {
                applyAction(key, fileId, value)
                if (L.countsAfter(key))
                    refreshCount()
            })
        }
    }

    // A draft opens in the editor, as a new file that the add right guards; once sent or saved
    // again it leaves this list, which reads the drafts again when it is back on top.
    function openDraft(f) {
        Templates.content(fileList, "file", {"draftId": f.id})
    }

    // Beside the row's menu button.
    function openMenu(i) {
        openMenuAt(i, null, -1, -1)
    }

    // Beside `source` (the row's menu button when none), or at the point x, y of it when x is not
    // negative.
    function openMenuAt(i, source, x, y) {
        var f = rowAt(i)
        var entries = actions.entries(f)
        if (entries.length === 0)
            return
        fileMenu.row = {"index": i, "file": f}
        fileMenu.entries = entries
        if (!source) {
            var cell = listView.itemAtIndex(i)
            source = cell ? cell.menuButton : null
        }
        if (source && x !== undefined && x >= 0)
            fileMenu.openAt(source, x, y)
        else if (source)
            fileMenu.openBeside(source)
        else
            fileMenu.open()
    }

    function selectedRows() {
        var r = []
        for (var i = 0; i < files.count; ++i) {
            var f = rowAt(i)
            if (f.select)
                r.push({"index": i, "file": f})
        }
        return r
    }

    function endSelection() {
        selecting = false
        for (var i = 0; i < files.count; ++i) {
            var f = rowAt(i)
            if (f.select) {
                f.select = false
                files.setProperty(i, "fileJson", JSON.stringify(f))
            }
        }
    }

    function saveScroll() {
        if (mode !== "board" || !filterModel || !scrollRecord)
            return
        Database.saveScrollPosition(filterModel.id, L.scrollKinds[view], Math.round(listView.contentY),
                                    scrollRecord.id > 0 ? scrollRecord.id : -1)
        scrollRecord = Database.getScrollPosition(filterModel.id, L.scrollKinds[view])
    }

    function sortChosen(field, direction) {
        var o = options
        o.order_field = field
        o.order_type = direction
        options = o
        if (filterModel) {
            var b = filterModel
            b.order_field = field
            b.order_type = direction
            filterModel = b
            Database.saveOrder(filterModel.id, field, direction)
            orderSaved(L.copy(filterModel))
        }
        reload()
    }

    Timer {
        id: firstWait
        onTriggered: fileList.reset()
    }

    ListModel {
        id: files
    }

    FileActions {
        id: actions
        context: ({"mode": fileList.view === "recycle" ? "recycle" : fileList.mode, "isTab": fileList.isTab,
                   "tradeType": fileList.options.trade_type, "propertyType": fileList.options.property_type,
                   "filters": fileList.filterModel ? (fileList.filterModel.filter || []) : fileList.options.filters,
                   "matchFile": fileList.matchFile})

        onActionApplied: fileList.applyAction(key, fileId, value, actions.revisionBefore)
        onCountsChanged: fileList.refreshCount()
        onSelectRequested: fileList.selecting = true
        onTagApplied: {
            var i = fileList.indexOf(fileId)
            if (i === -1)
                return
            var f = fileList.rowAt(i)
            f.tag_status = status
            files.setProperty(i, "fileJson", JSON.stringify(f))
        }
    }

    // Whatever wrote the files (this list, a page over it, a notice, the update), the list reads
    // them again once it is seen.
    UFilesWatch {
        id: watch
        seen: fileList.visible
        onRefresh: fileList.refresh()
    }

    header: ToolBar {
        // A match list sits under the container's own header.
        visible: fileList.mode !== "match"
        height: fileList.mode !== "match" ? 48 : 0

        Row {
            anchors.fill: parent
            spacing: 6

            ToolButton {
                objectName: "backButton"
                text: "بازگشت"
                onClicked: fileList.goBack()
            }

            Label {
                objectName: "listTitle"
                anchors.verticalCenter: parent.verticalCenter
                text: Consts.rtl(fileList.shownTitle())
                textFormat: Text.PlainText
                font.pointSize: 13
                elide: Text.ElideLeft
                width: Math.max(80, parent.width - tools.width - 90)
            }

            Row {
                id: tools
                anchors.verticalCenter: parent.verticalCenter
                spacing: 2

                ToolButton {
                    objectName: "pinnedButton"
                    visible: fileList.mode === "board" && fileList.view === "normal"
                    text: "سنجاق شده ها"
                    onClicked: fileList.openView("pinned")
                }
                ToolButton {
                    objectName: "recycleButton"
                    visible: fileList.mode === "board" && fileList.view === "normal"
                    text: "سطل آشغال (" + fileList.recycleCount + ")"
                    onClicked: fileList.openView("recycle")
                }
                ToolButton {
                    objectName: "sortButton"
                    visible: fileList.mode === "board" && fileList.view === "normal" && fileList.filterModel !== null
                    text: "ترتیب"
                    onClicked: {
                        var d = Templates.dialog("files/list/SortDialog.qml",
                                                 {"propertyType": fileList.options.property_type,
                                                  "tradeType": fileList.options.trade_type,
                                                  "field": fileList.options.order_field,
                                                  "direction": fileList.options.order_type})
                        if (d)
                            d.chosen.connect(fileList.sortChosen)
                    }
                }
                ToolButton {
                    objectName: "gridButton"
                    text: fileList.grid ? "سطری" : "جدولی"
                    onClicked: {
                        fileList.grid = !fileList.grid
                        var data = Settings.app_data
                        data.file_list_show_type = {"grid": fileList.grid, "row": !fileList.grid}
                        Settings.app_data = data
                        Settings.save()
                    }
                }
            }
        }
    }

    GridView {
        id: listView
        objectName: "fileView"
        anchors.fill: parent
        anchors.bottomMargin: selectionBar.visible ? selectionBar.height : 0
        clip: true
        model: files
        // As many columns as cards wide enough for their kind and prices at the cards' own size.
        cellWidth: fileList.grid ? Math.floor(width / Math.max(1, Math.floor(width / valueMetrics.cardWidth))) : width
        cellHeight: Math.max(124, Math.ceil(2 * valueMetrics.height + 2 * titleMetrics.height + 26))
        ScrollBar.vertical: ScrollBar {}

        onContentYChanged: {
            if (!fileList.clamping)
                fileList.keptTarget = -1
            if (fileList.restoreTo === 0)
                fileList.nextPage()
            scrollSave.restart()
        }
        onHeightChanged: if (fileList && fileList.restoreTo === 0) fileList.clampToEnd()
        onContentHeightChanged: if (fileList && fileList.restoreTo === 0) fileList.clampToEnd()

        delegate: FileRow {
            width: listView.cellWidth
            height: listView.cellHeight
            look: fileList.look
            file: JSON.parse(model.fileJson)
            selecting: fileList.selecting
            showTag: fileList.mode === "match"
            onClicked: fileList.openFile(index)
            onMenuRequested: fileList.openMenuAt(index, source, x, y)
        }
    }

    FontMetrics {
        id: valueMetrics
        // Measured again when the size changes.
        readonly property real cardWidth: font.pointSize ? L.cardWidth(advanceWidth, fileList.options.trade_type,
                                                                       fileList.options.property_type,
                                                                       fileList.mode === "match") : 300
        font.pointSize: Number(fileList.look.font_value_size) || Consts.largeFont
    }

    FontMetrics {
        id: titleMetrics
        font.pointSize: Number(fileList.look.font_title_size) || Consts.normalFont
    }

    Timer {
        id: restoreLater
        interval: 100
        onTriggered: {
            // Kept until the user moves the list: the page's header may take its room only now,
            // and a wider window lays the same files out shorter.
            fileList.keptTarget = fileList.restoreTo
            fileList.restoreTo = 0
            fileList.clampToEnd()
            if (fileList.refreshAgain)
                fileList.refresh()
        }
    }

    // The position restored, while nothing else has moved the list since.
    property real keptTarget: -1
    property bool clamping: false

    // A position past the end shows no card: the view is kept within its content, at the
    // restored position as far as the content now allows.
    function clampToEnd() {
        if (listView.moving || listView.dragging)
            return
        var end = Math.max(0, listView.contentHeight - listView.height)
        var y = listView.contentY - listView.originY
        var wanted = keptTarget >= 0 ? Math.min(keptTarget, end) : Math.min(y, end)
        if (wanted === y)
            return
        clamping = true
        listView.contentY = listView.originY + wanted
        clamping = false
    }

    Timer {
        id: scrollSave
        interval: 500
        onTriggered: fileList.saveScroll()
    }

    Column {
        objectName: "emptyView"
        property string animation: L.emptyAnimation(fileList.view !== "normal" ? fileList.view : fileList.mode)
        visible: files.count === 0 && !fileList.loading && !firstWait.running
        anchors.centerIn: parent
        spacing: 10

        Label {
            anchors.horizontalCenter: parent.horizontalCenter
            font.family: Fonts.icon
            font.pointSize: 48
            color: "#9e9e9e"
            text: String.fromCodePoint(parseInt(parent.animation === "recycle" ? Icons.deleteEmpty
                                                : parent.animation === "pinned" ? Icons.pinOff
                                                : parent.animation === "search" ? Icons.magnify
                                                : Icons.fileDocumentOutline, 16))
        }
        Label {
            anchors.horizontalCenter: parent.horizontalCenter
            color: "#757575"
            text: L.emptyText(fileList.view !== "normal" ? fileList.view : fileList.mode)
        }
    }

    BusyIndicator {
        anchors.bottom: parent.bottom
        anchors.horizontalCenter: parent.horizontalCenter
        running: fileList.loading
        visible: running
    }

    Rectangle {
        id: selectionBar
        objectName: "selectionBar"
        visible: fileList.selecting
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: 52
        color: "#eceff1"

        Row {
            anchors.centerIn: parent
            spacing: 8
            Button {
                text: fileList.view === "recycle" ? "حذف برای همیشه" : "حذف"
                onClicked: actions.run(fileList.view === "recycle" ? "deleteForever" : "delete",
                                       fileList.selectedRows(), text)
            }
            Button {
                visible: fileList.view !== "recycle"
                text: "بایگانی"
                onClicked: actions.run("archive", fileList.selectedRows(), text)
            }
            Button {
                visible: fileList.view !== "recycle"
                text: "آگهی همکاری"
                onClicked: actions.run("colleague", fileList.selectedRows(), text)
            }
            Button {
                visible: fileList.view === "recycle"
                text: "بازیابی فایل"
                onClicked: actions.run("restore", fileList.selectedRows(), text)
            }
            Button {
                text: "انصراف"
                onClicked: fileList.endSelection()
            }
        }
    }

    UMenu {
        id: fileMenu
        objectName: "fileMenu"
        property var row: null
        property var entries: []

        Instantiator {
            model: fileMenu.entries
            delegate: MenuItem {
                text: modelData.title
                onTriggered: actions.run(modelData.key, [fileMenu.row], modelData.title)
            }
            onObjectAdded: fileMenu.insertItem(index, object)
            onObjectRemoved: fileMenu.removeItem(object)
        }
    }

    Connections {
        target: actions
        function onActionApplied() {
            if (fileList.selecting)
                fileList.endSelection()
        }
    }

    Component.onCompleted: {
        if (due_list)
            mode = "due"
        else if (tab_list && mode === "board")
            mode = "tab"
        if (page_title !== "")
            title = page_title
        if (trade_type !== undefined)
            tradeType = trade_type
        if (property_type !== undefined)
            propertyType = property_type
        if (filter !== undefined && filter !== null)
            filters = Array.isArray(filter) ? filter : [filter]
        setup()
        if (mode === "board" && filterModel && filterModel.id !== undefined) {
            scrollRecord = Database.getScrollPosition(filterModel.id, L.scrollKinds[view])
            restoreTo = scrollRecord && scrollRecord.position > 0 ? scrollRecord.position : 0
        }
        reload()
    }

    // A page hidden under another loses its header first, and the view, taller for a moment,
    // clamps itself: the position the user left is put back when the page shows again.
    property real keptY: -1
    StackView.onDeactivating: keptY = listView.contentY
    StackView.onActivating: putBack()
    StackView.onActivated: {
        putBack()
        keptY = -1
    }

    function putBack() {
        if (keptY >= 0 && listView.contentY !== keptY)
            listView.contentY = keptY
    }

    // No save here: a page being taken away loses its header first, and the view then clamps
    // itself to a position the user never scrolled to.
    Component.onDestruction: Reads.cancel(fileList)
}
