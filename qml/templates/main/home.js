.pragma library
.import "qrc:/assets/texts.js" as Texts
// What the home and board screens decide, apart from drawing: requests, list models, labels,
// filter items and orderings. Pure functions, so tests reach them without a window.

var oldFilesAge = 2629743000
var maxFilters = 5
var addTile = -1000
var phoneTile = -2000

var texts = {
    "noAccessTitle": "محدودیت دسترسی",
    "noAccess": "در حال حاضر به هیچ کمدی دسترسی ندارید!\n\n لطفا در این مورد با مدیریت مجموعه خود هماهنگ کنید.",
    "confirm": "آیا مطمئن هستید ؟",
    "shelfDelete": "بعد از حذف کمد، قادر به برگرداندن آن نخواهید بود !",
    "boardDelete": "بعد از حذف Tavorlin «%1»، قادر به برگرداندن آن نخواهید بود !",
    "noAdd": "دسترسی شما توسط مدیر محدود شده است!",
    "oldFiles": "فایل های قدیمی",
    "rangeError": "لطفا مقادیر کوچکتر و بزرگتر را صحیح وارد نمایید.",
    "noCode": "لطفا کد مورد نظر را وارد نمایید.",
    "noManualId": "لطفا شناسه مورد نظر را وارد نمایید.",
    "codeNotFound": "فایلی با کد انتخاب شده پیدا نشد.",
    "failed": "عملیات انجام نشد.",
    "tooManyFilters": "حداکثر ۵ فیلتر برای هر Tavorlin قابل انتخاب است.",
    "renameTitle": "ویرایش نام Tavorlin",
    "renameField": "نام Tavorlin",
    "filterTitle": "افزودن فیلتر Tavorlin",
    "selectAll": "انتخاب همه"
}

function copy(value) {
    return value === undefined || value === null ? value : JSON.parse(JSON.stringify(value))
}

function present(value) {
    return value !== undefined && value !== null && value !== ""
}

// The question before a board goes names it as its tile does.
function boardDeleteText(board) {
    var name = board ? (present(board.name) ? board.name : board.title) : ""
    var shown = present(name) ? String(name) : ""
    // A function keeps "$" in a name as it is.
    return texts.boardDelete.replace("%1", function () { return shown })
}

function badgeText(count) {
    var n = Number(count)
    if (!(n > 0))
        return ""
    return n >= 100 ? "99+" : String(n)
}

// The old files' list, with the same filters as the menu's count: active trades, registered before a month ago, this agent.
// For a manager the list asks for an empty agent, which the store takes as the manager's own files
// (without an agent, or with the manager as agent), as the count does.
function oldFilesOptions(now, agentId) {
    return {
        "mode": "old",
        "title": texts.oldFiles,
        "tradeType": -1,
        "propertyType": -1,
        "filters": [
            {"key": "trade_ref", "value": {"value_1": "1", "value_2": "8"}},
            {"key": "date", "value": {"value_1": "0", "value_2": String(now - oldFilesAge)}},
            {"key": "agent_ref", "value": {"value_1": present(agentId) ? String(agentId) : "", "value_2": ""}}
        ]
    }
}

function quickSearchOptions(keyword) {
    return {
        "mode": "search",
        "title": "جستجوی " + keyword,
        "tradeType": -1,
        "propertyType": -1,
        "filters": [{"key": "quick_search", "value": {"value_1": Texts.fixNumbers(String(keyword)), "value_2": ""}}]
    }
}

// A board's own list: the board is the filter model, copied so the list may change it freely.
function boardListOptions(board) {
    return {"mode": "board", "filterModel": copy(board)}
}

// The tiles after a board's list saved a new order: that board's tile opens in it next time.
function withOrder(model, board) {
    return model.map(function (tile) {
        if (isExtra(tile) || !board || tile.id !== board.id)
            return tile
        var t = copy(tile)
        t.order_field = board.order_field
        t.order_type = board.order_type
        return t
    })
}

// "" when the code may be searched, else the message to show.
function codeError(byManualId, code) {
    var text = String(code === undefined || code === null ? "" : code).trim()
    if (byManualId)
        return text === "" ? texts.noManualId : ""
    return text === "" || Number(text) === 0 ? texts.noCode : ""
}

function manualIdOptions(code) {
    return {
        "mode": "search",
        "title": "فایل های شناسه " + code,
        "tradeType": -1,
        "propertyType": -1,
        "filters": [{"key": "code.manual", "value": {"value_1": String(code), "value_2": ""}}]
    }
}

function nextZoom(zoom) {
    if (zoom === "small")
        return "medium"
    if (zoom === "medium")
        return "large"
    return "small"
}

function extraTile(color) {
    return {"color": color, "count": 0, "badge": 0, "name": "", "title": "", "filter_name": "", "broken": false,
            "_id": "", "id": -1}
}

// Boards first with nothing counted yet, then the add tile and the phone-book tile.
function boardModel(boards, showAdd, showPhoneBook) {
    var model = []
    for (var i = 0; i < boards.length; ++i) {
        var board = copy(boards[i])
        board.count = 0
        board.badge = 0
        model.push(board)
    }
    if (showAdd)
        model.push(extraTile(addTile))
    if (showPhoneBook)
        model.push(extraTile(phoneTile))
    return model
}

function isExtra(tile) {
    return tile && (tile.color === addTile || tile.color === phoneTile)
}

function boardsOnly(model) {
    return model.filter(function (tile) { return !isExtra(tile) })
}

// The counts carry no board id: the i-th item belongs to the i-th board. A broken board shows no
// badge whatever its count says; the extra tiles keep their zeros.
function applyCounts(model, counts) {
    var out = []
    var boardIndex = 0
    for (var i = 0; i < model.length; ++i) {
        var tile = copy(model[i])
        if (!isExtra(tile)) {
            var item = counts[boardIndex++]
            if (item) {
                tile.count = Number(item.count) || 0
                tile.badge = tile.broken === true ? 0 : (Number(item.badge) || 0)
            }
        }
        out.push(tile)
    }
    return out
}

// Only the two extra tiles: the shelf is still empty.
function onlyExtras(model) {
    return model.length > 0 && boardsOnly(model).length === 0
}

// A board dragged from index `from` to index `to` of the list after the move: the end is the
// board now before it when it went towards the end, after it when it went towards the front.
function moveEnds(boardsAfterMove, from, to) {
    if (from === to || to < 0 || to >= boardsAfterMove.length)
        return null
    var moved = boardsAfterMove[to]
    var neighbour = to > from ? boardsAfterMove[to - 1] : boardsAfterMove[to + 1]
    if (!moved || !neighbour || isExtra(neighbour) || isExtra(moved))
        return null
    return {"start": moved._id, "end": neighbour._id}
}

function moved(list, from, to) {
    var out = list.slice()
    var item = out.splice(from, 1)[0]
    out.splice(to, 0, item)
    return out
}

// Shelves after a drag from s to e: those between take their index, or all when none has one yet.
function shelfPositions(shelvesAfterMove, s, e) {
    var none = shelvesAfterMove.every(function (shelf) { return !(Number(shelf.position) > 0) })
    var lo = Math.min(s, e), hi = Math.max(s, e)
    var out = []
    for (var i = 0; i < shelvesAfterMove.length; ++i) {
        if (none || (i >= lo && i <= hi))
            out.push({"_id": shelvesAfterMove[i]._id, "position": i})
    }
    return out
}

// Ticked rows against the ticks they started with.
function tickDiff(rows, idKey) {
    var add = [], remove = []
    for (var i = 0; i < rows.length; ++i) {
        var row = rows[i]
        if (row.checked && !row.initial)
            add.push(row[idKey])
        else if (!row.checked && row.initial)
            remove.push(row[idKey])
    }
    return {"add": add, "remove": remove}
}

// The choose-boards request: a board without server id is sent to be created.
function shelfBoardsChange(rows, owner) {
    var add = [], remove = []
    for (var i = 0; i < rows.length; ++i) {
        var row = rows[i]
        if (row.checked && !row.initial) {
            if (present(row._id))
                add.push({"tavorlin_id": row._id})
            else
                add.push({"tavorlin_id": undefined, "tavorlin": {"user_id": owner, "trade_id": row.trade_type,
                          "property_id": row.property_type, "color": row.color}})
        } else if (!row.checked && row.initial && present(row._id)) {
            remove.push(row._id)
        }
    }
    return {"tavorlin_add": add, "tavorlin_remove": remove}
}

// The boards a "shelf_tavorlin" answer created, whether sent as an object or an array.
function createdBoards(tavorlins) {
    var boards = []
    if (tavorlins === undefined || tavorlins === null || typeof tavorlins !== "object")
        return boards
    for (var key in tavorlins) {
        if (tavorlins[key] && typeof tavorlins[key] === "object")
            boards.push(tavorlins[key])
    }
    return boards
}

// The boards to place on the shelf: the ids asked for and the ids of the boards just created, once each.
function shelfBoardsAdded(tavorlinAdd, created) {
    var ids = []
    function add(id) {
        if (present(id) && ids.indexOf(String(id)) === -1)
            ids.push(String(id))
    }
    var items = Array.isArray(tavorlinAdd) ? tavorlinAdd : []
    for (var i = 0; i < items.length; ++i)
        add(items[i] ? items[i].tavorlin_id : undefined)
    for (var j = 0; j < created.length; ++j)
        add(created[j]._id)
    return ids
}

function idList(value) {
    return Array.isArray(value) ? value.filter(present).map(String) : []
}

// The result of a reply, or null when the content or its result is missing.
function resultOf(reply, needsResult) {
    if (!reply || reply.content === undefined || reply.content === null)
        return null
    if (needsResult && (reply.content.result === undefined || reply.content.result === null))
        return null
    return needsResult ? reply.content.result : reply.content
}

function messageOf(reply) {
    if (reply && reply.message && present(reply.message.msg))
        return String(reply.message.msg)
    return texts.failed
}

// ---- New board: filter candidates and filter items ----

function isRequestTrade(trade) {
    var t = Number(trade) > 8 ? Number(trade) - 8 : Number(trade)
    return t >= 5 && t <= 8
}

function inputKey(input) {
    return input.parent_key === "date" ? "date" : input.parent_key + "." + input.key
}

// The candidates in their order; an input or the date already used by the board is left out.
function filterCandidates(cards, trade, usedKeys) {
    var used = usedKeys || []
    var out = []
    function offer(candidate) {
        if (candidate.kind === "input" && used.indexOf(candidate.itemKey) !== -1)
            return
        out.push(candidate)
    }
    offer({"kind": "input", "itemKey": "date", "title": "تاریخ", "isDate": true,
           "input": {"id": -1, "key": "register", "parent_key": "date", "title": "تاریخ", "request_title": "تاریخ",
                     "input_type": 2, "filter_type": 2, "max_length": 10, "currency": false, "filter": true}})
    // A district is named by its title and kept by its id, whichever card offers it.
    var district = {"kind": "district", "itemKey": "district_ref", "title": "نام منطقه",
                    "input": {"key": "title", "parent_key": "district", "title": "نام منطقه", "filter_type": 1}}
    var districtOffered = false
    var first = cards.length > 0 ? cards[0] : null
    if (first) {
        var inputs = first.inputs || []
        for (var i = 0; i < inputs.length; ++i) {
            if (inputs[i].filter !== true || inputs[i].parent_key === "date")
                continue
            if (inputs[i].parent_key === "district") {
                if (!districtOffered)
                    offer(district)
                districtOffered = true
            } else {
                offer({"kind": "input", "itemKey": inputKey(inputs[i]), "title": inputs[i].title, "input": inputs[i]})
            }
        }
    }
    if (isRequestTrade(trade) && !districtOffered)
        offer(district)
    for (var c = 1; c < cards.length; ++c) {
        var card = cards[c]
        if (card.stepper) {
            var title = card.title === "نوع و تعداد پارکینگ" ? "نوع پارکینگ" : card.title
            offer({"kind": "input", "itemKey": inputKey(card.stepper), "title": title, "input": card.stepper})
        }
    }
    for (var t = 1; t < cards.length; ++t) {
        if ((cards[t].toggles || []).length > 0)
            offer({"kind": "toggle", "itemKey": "", "title": cards[t].title, "toggles": cards[t].toggles})
    }
    offer({"kind": "hashtag", "itemKey": "hashtag_ref", "title": "برچسب"})
    offer({"kind": "agent", "itemKey": "agent_ref", "title": "کاربران بنگاه من"})
    return out
}

function toggleFilter(toggle) {
    return {"key": toggle.parent_key, "value": {"value_1": String(toggle.key), "value_2": ""}, "title": toggle.title}
}

function rowFilter(kind, row) {
    return {"key": kind === "hashtag" ? "hashtag_ref" : "agent_ref",
            "value": {"value_1": String(row._id), "value_2": ""},
            "title": kind === "hashtag" ? row.title : row.name_family}
}

// A form value as plain text: no grouping commas, nothing for null.
function plain(value) {
    return value === undefined || value === null ? "" : String(value).replace(/,/g, "")
}

function numberOf(text) {
    var t = String(text === undefined || text === null ? "" : text).replace(/,/g, "").trim()
    return t === "" ? NaN : Number(t)
}

// "" when the bounds may be used, else the message: an upper bound that is set must be greater.
function rangeError(input, value1, value2) {
    if (!input || Number(input.filter_type) !== 2)
        return ""
    var hi = numberOf(value2)
    if (isNaN(hi) || String(value2).trim() === "")
        return ""
    var lo = numberOf(value1)
    if (isNaN(lo))
        lo = 0
    return hi > lo ? "" : texts.rangeError
}

function shortAmount(text) {
    var s = String(text).replace(/,/g, "").split(".")[0]
    var n = s.length
    var x = Number(s)
    if (isNaN(x) || n <= 3)
        return {"text": s, "unit": ""}
    var div = n <= 6 ? 1000 : (n <= 9 ? 1000000 : 1000000000)
    var unit = n <= 6 ? "هزار" : (n <= 9 ? "میلیون" : "میلیارد")
    return {"text": String(Math.round(x / div * 10) / 10), "unit": unit}
}

function amountText(text) {
    var a = shortAmount(text)
    return a.unit === "" ? a.text : a.text + " " + a.unit
}

// The title the form shows for one filter; `jalali` turns milliseconds into a date text.
function filterTitle(input, value1, value2, jalali, hint) {
    var v1 = String(value1 === undefined || value1 === null ? "" : value1).trim()
    var v2 = String(value2 === undefined || value2 === null ? "" : value2).trim()
    var title = hint || input.title || ""
    if (input.parent_key === "date" || input.key === "date") {
        if (v1 !== "" && v2 !== "")
            return title + " بین " + jalali(Number(v1)) + " و " + jalali(Number(v2))
        if (v1 !== "")
            return title + " از " + jalali(Number(v1))
        return title + " تا " + jalali(Number(v2))
    }
    if (Number(input.filter_type) !== 2)
        return title + " " + v1
    var show = input.currency === true ? amountText : function (v) { return v }
    var out = title
    if (v1 !== "")
        out += " از " + show(v1)
    if (v2 !== "")
        out += " تا " + show(v2)
    return out
}

// One input's filter item; texts stay texts, so the store keeps what was typed.
function inputFilter(input, value1, value2, title) {
    var key = input.parent_key === "date" ? "date" : input.parent_key + "." + input.key
    var clean = function (v) {
        return String(v === undefined || v === null ? "" : v).replace(/,/g, "").trim()
    }
    return {"key": key, "value": {"value_1": clean(value1), "value_2": clean(value2)}, "title": title}
}

function districtFilter(districtId, title) {
    return {"key": "district_ref", "value": {"value_1": String(districtId), "value_2": ""}, "title": title}
}

function filtersText(filters) {
    return filters.map(function (f) { return f.title }).join("\n")
}

function usedKeys(filters) {
    return filters.map(function (f) { return f.key })
}

// What "tavorlin_create" sends; the titles are the form's only.
function boardCreateContent(form, owner, agent, shelfId, withAccess) {
    var content = {
        "shelf_id": shelfId, "user_id": owner, "agent_id": agent,
        "trade_id": form.trade, "property_id": form.property,
        "name": form.name || "", "color": form.color,
        "filter": form.filters.map(function (f) { return {"key": f.key, "value": copy(f.value)} })
    }
    if (withAccess)
        content.access = form.access || []
    return content
}

// Sends one request; its answer runs `done(result, reply)` unless the content (or, where asked,
// the result) is missing, which only shows the message. Nothing is written before the answer.
// Answers whether an answer is to be waited for; `failed` runs when the answer brings nothing.
function request(sockets, show, name, content, payload, needsResult, done, failed) {
    var fail = function () {
        if (typeof failed === "function")
            failed()
    }
    // Offline the request is dropped (and the user told): no answer will come to wait for.
    if (!sockets.connected) {
        sockets.send(name, content, payload)
        return false
    }
    var replyName = name + "_result"
    sockets.on(replyName, function (reply) {
        sockets.off(replyName)
        sockets.off(replyName + "_error")
        var result = resultOf(reply, needsResult)
        if (result === null) {
            show(messageOf(reply))
            fail()
            return
        }
        done(result, reply)
    })
    sockets.on(replyName + "_error", function () {
        sockets.off(replyName)
        sockets.off(replyName + "_error")
        fail()
    })
    sockets.send(name, content, payload)
    return true
}

// Opens a screen of the page container by key: a dialog on desktops, a page elsewhere.
function openContainer(templates, desktop, key, options, callback) {
    // The account's rights, asked as templates.container asks them.
    if (typeof templates.allows === "function" && !templates.allows(key, options))
        return null
    var opts = {"contentType": key, "options": options || {}, "callback": callback || null}
    if (desktop) {
        var dialog = templates.dialog("generals/dialog/StackContentDialog.qml", opts)
        if (dialog)
            dialog.open()
        return dialog
    }
    return templates.initial("generals/StackContent.qml", opts)
}

// Opens a dialog of the screens (or of the component library with qrc "com") and shows it.
function openDialog(templates, path, options, qrc) {
    var dialog = templates.dialog(path, options || {}, qrc)
    if (dialog)
        dialog.open()
    return dialog
}

// The shelf list after a shelf notice, or null when the list is to be read again.
function shelvesAfterNotice(shelves, type, data) {
    var list = shelves.slice()
    var model = data || {}
    var id = model._id !== undefined ? model._id : model.shelf_id
    var index = -1
    for (var i = 0; i < list.length; ++i) {
        if (list[i]._id === id)
            index = i
    }
    if (type === "create") {
        var shelf = {"_id": id, "name": model.name || "", "color": Number(model.color) || 0,
                     "type": Number(model.type) || 0, "position": 0}
        if (index === -1)
            list.push(shelf)
        else
            list[index] = shelf
        return list
    }
    if (type === "edit") {
        if (index !== -1) {
            var edited = copy(list[index])
            edited.name = model.name
            edited.color = Number(model.color) || 0
            edited.type = Number(model.type) || 0
            list[index] = edited
        }
        return list
    }
    if (type === "remove") {
        if (index !== -1)
            list.splice(index, 1)
        return list
    }
    if (type === "agent_access" || type === "access")
        return null
    return list
}
