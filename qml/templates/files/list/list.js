.pragma library
.import "qrc:/assets/texts.js" as Texts
// The file list's decisions, free of singletons so tests reach them without a window:
// list options, view filters, paging, the per-file menu, action requests and their replies.

var pageSize = 50

// Scroll rows are told apart by board and list kind.
var scrollKinds = {"normal": 1, "pinned": 2, "recycle": 3}

function defaultOptions() {
    return {"trade_type": -1, "property_type": -1, "filters": [], "keyword": "", "page": 1,
            "order_field": "_id", "order_type": "desc", "load_more": false}
}

function copy(value) {
    return value === undefined ? undefined : JSON.parse(JSON.stringify(value))
}

function item(key, value1, value2) {
    return {"key": key, "value": {"value_1": value1 === undefined ? "" : String(value1),
                                  "value_2": value2 === undefined ? "" : String(value2)}}
}

// The list's state from what the caller passed: a board as filter model, or plain values.
// Tab lists (search results, due or old files, keyword search) order newest registration first.
function makeOptions(args) {
    var o = defaultOptions()
    var board = args.filterModel
    if (board) {
        o.trade_type = Number(board.trade_type)
        o.property_type = Number(board.property_type)
        o.filters = copy(board.filter || [])
        o.order_field = board.order_field || "_id"
        o.order_type = board.order_type || "desc"
    }
    if (args.tradeType !== undefined) o.trade_type = Number(args.tradeType)
    if (args.propertyType !== undefined) o.property_type = Number(args.propertyType)
    if (args.filters !== undefined) o.filters = copy(args.filters)
    if (args.keyword !== undefined) o.keyword = Texts.plainText(args.keyword)
    if (args.isTab) {
        o.order_field = ""
        o.order_type = ""
    }
    if (args.ignoreDelete && !hasKey(o.filters, "ignore_delete"))
        o.filters.push(item("ignore_delete"))
    return o
}

function hasKey(filters, key) {
    for (var i = 0; i < filters.length; ++i)
        if (filters[i].key === key)
            return true
    return false
}

// The board's filters for a view: pinned and recycle bin add their status item.
function viewFilters(filters, view) {
    var list = copy(filters || [])
    if (view === "pinned")
        list.push(item("status.pin", "true"))
    else if (view === "recycle")
        list.push(item("status.delete", "true"))
    return list
}

function viewTitle(view, boardName) {
    if (view === "pinned")
        return "فایلهای سنجاق شده  " + boardName
    if (view === "recycle")
        return "سطل آشغال  " + boardName
    return "Tavorlin " + boardName
}

function binCountFilters(filters) {
    return viewFilters(filters, "recycle")
}

// The next page is due when the view's bottom comes within 200 px of the content's end; one
// request at a time, and none once a page came back empty.
function wantsNextPage(contentY, viewHeight, contentHeight, loadMore, loading) {
    return loadMore && !loading && contentY + viewHeight > contentHeight - 200
}

function emptyAnimation(mode) {
    if (mode === "recycle") return "recycle"
    if (mode === "pinned") return "pinned"
    if (mode === "search") return "search"
    if (mode === "tab" || mode === "due" || mode === "old") return "tab"
    return "plain"
}

function emptyText(mode) {
    if (mode === "recycle") return "سطل آشغال خالی است"
    if (mode === "pinned") return "فایل سنجاق شده ای وجود ندارد"
    if (mode === "search") return "فایلی با این مشخصات یافت نشد"
    return "فایلی وجود ندارد"
}

// Which menu a row shows: recycle, due, colleague and drafts lists have their own; a file in the
// recycle bin has the bin's wherever it is listed; archived boards (trade type above 8) theirs.
function menuKind(mode, tradeType, file) {
    if (mode === "recycle" || mode === "due" || mode === "colleague" || mode === "drafts")
        return mode
    if (mode === "match")
        return "match"
    if (file && file.status && file.status["delete"] === true)
        return "recycle"
    return Number(tradeType) > 8 ? "archived" : "normal"
}

// access: {manager, canEdit, canDelete} for this file.
function menuEntries(kind, file, access, isTab) {
    var e = []
    function add(title, key) { e.push({"title": title, "key": key}) }
    var trade = Number(file.trade_ref)
    var matchTitle = (trade > 8 ? trade - 8 : trade) > 4 ? "فایلهای مرتبط" : "متقاضی مرتبط"
    if (kind === "normal") {
        if (access.manager) add("انتخاب", "select")
        add("کپی", "copy")
        add("سنجاق", "pin")
        if (access.canEdit) add("ویرایش", "edit")
        if (access.canDelete) {
            add("حذف", "delete")
            add("بایگانی", "archive")
        }
        add("برچسب", "hashtag")
        add(matchTitle, "match")
        if (access.manager) add("ارسال فایل", "send")
        add(file.status && file.status.ad_colleague ? "حذف آگهی همکاری" : "آگهی همکاری", "colleague")
        if (access.manager) add("تاریخچه فایل", "history")
        add("آگهی عمومی", "public")
    } else if (kind === "recycle") {
        if (!isTab) add("انتخاب", "select")
        add("حذف برای همیشه", "deleteForever")
        add("بازیابی فایل", "restore")
        if (!isTab) add("خالی کردن سطل آشغال", "emptyRecycleBin")
    } else if (kind === "archived") {
        if (access.manager) add("انتخاب", "select")
        add("کپی", "copy")
        add("سنجاق", "pin")
        if (access.canEdit) add("ویرایش", "edit")
        if (access.canDelete) add("حذف", "delete")
        add("انتقال به Tavorlin اصلی", "unarchive")
        if (access.manager) add("تاریخچه فایل", "history")
        add(matchTitle, "match")
    } else if (kind === "due") {
        if (access.canEdit) add("ویرایش", "edit")
        if (access.canDelete) add("حذف", "delete")
        add("انتقال به Tavorlin اصلی", "unarchive")
        add("بایگانی", "archiveDue")
        if (access.manager) add("تاریخچه فایل", "history")
        add(matchTitle, "match")
    } else if (kind === "colleague") {
        add(matchTitle, "match")
    } else if (kind === "match") {
        add("علامت گذاری 1", "tag1")
        add("علامت گذاری 2", "tag2")
        add("علامت گذاری 3", "tag3")
    }
    return e
}

// Menu key to the "property_action" key and the value for one file; null for keys that send
// something else.
function actionOf(menuKey, file) {
    var trade = Number(file.trade_ref)
    var status = file.status || {}
    switch (menuKey) {
    case "delete": return {"key": "status.delete", "value": true, "phrase": "recycle"}
    case "restore": return {"key": "status.delete", "value": false, "phrase": "restore"}
    case "deleteForever": return {"key": "die", "value": true, "phrase": ""}
    case "archive": return {"key": "trade_ref", "value": trade + 8, "phrase": "archive", "date": true}
    case "unarchive": return {"key": "trade_ref", "value": trade - 8, "phrase": "unarchive"}
    case "archiveDue": return {"key": "trade_ref", "value": trade, "phrase": "archive", "date": true}
    case "pin": return {"key": "status.pin", "value": !status.pin, "phrase": ""}
    case "colleague":
        return {"key": "status.ad_colleague", "value": !status.ad_colleague,
                "phrase": status.ad_colleague ? "uncolleague" : "colleague"}
    }
    return null
}

var phrases = {
    "recycle": {"text": "به سطل آشغال منتقل", "color": "#e53935"},
    "restore": {"text": "از سطل آشغال خارج", "color": "#e53935"},
    "archive": {"text": "به Tavorlin بایگانی منتقل", "color": "#8e24aa"},
    "unarchive": {"text": "از بایگانی خارج", "color": "#8e24aa"},
    "colleague": {"text": "آگهی همکاری", "color": "#3949ab"},
    "uncolleague": {"text": "آگهی همکاری لغو", "color": "#3949ab"}
}

function escapeHtml(text) {
    if (text === undefined || text === null)
        return ""
    return String(text).replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;")
        .replace(/"/g, "&quot;").replace(/'/g, "&#39;")
}

function bold(text) {
    return "<b>" + escapeHtml(text) + "</b>"
}

// The activity line of an action; every inserted value is escaped, since names are typed by
// users and the line is shown as rich text.
function logText(phrase, file, userName, dateText) {
    var p = phrases[phrase]
    if (!p)
        return ""
    var customer = file.customer || {}
    return "در تاریخ " + bold(dateText) + " به نام " + bold(customer.name_family)
            + " به شماره " + bold(customer.mobile_1) + " توسط " + bold(userName)
            + " <font color=\"" + p.color + "\">" + p.text + "</font>" + " شد."
}

// The question before an action: its title, and how many files when several are chosen.
function confirmText(title, count) {
    return count > 1 ? title + "\n" + count + " فایل انتخاب شده" : title
}

// One "property_action" for one or more files (rows: [{index, file}]). An archive date, when
// picked, goes into every entry: each file is archived on the day the user chose.
function actionRequest(menuKey, rows, ctx) {
    if (rows.length === 0)
        return null
    var first = actionOf(menuKey, rows[0].file)
    if (!first)
        return null
    var list = []
    for (var i = 0; i < rows.length; ++i) {
        var f = rows[i].file
        var a = actionOf(menuKey, f)
        var entry = {"index": rows[i].index, "file_id": f._id, "value": a.value,
                     "log": logText(a.phrase, f, ctx.userName, ctx.dateText)}
        if (a.date && ctx.date !== undefined && ctx.date !== null)
            entry.date = ctx.date
        list.push(entry)
    }
    var f0 = rows[0].file
    return {"user_id": ctx.userId, "property_id": Number(f0.property_ref),
            "trade_id": Number(f0.trade_ref), "key": first.key, "action": list}
}

// What an answered action does to the list: "remove" the row or "update" it in place. An unpin
// in the pinned view takes the row out of it.
function listEffect(key, isTab, isDue, unpinnedInPinned) {
    if (unpinnedInPinned === true && (key === "status.pin" || key === "pin_agent"))
        return "remove"
    if (key === "status.delete")
        return isTab && !isDue ? "update" : "remove"
    if (key === "die" || key === "trade_ref")
        return "remove"
    return "update"
}

// The row after an answered action entry (for "update").
function updatedRow(row, key, value) {
    var r = copy(row)
    r.status = r.status || {}
    if (key === "status.delete") r.status["delete"] = value
    else if (key === "status.pin" || key === "pin_agent") r.status.pin = value
    else if (key === "status.ad_colleague") r.status.ad_colleague = value
    return r
}

// An answered action after which the file's detail has nothing left to show: back to the list.
function leavesDetail(key, value) {
    return (key === "status.delete" && value === true) || key === "die"
}

function countsAfter(key) {
    return key === "status.delete" || key === "die"
}

function copyRequest(file, userId, agentId) {
    return {"content": {"user_id": userId, "agent_id": agentId, "property_id": Number(file.property_ref),
                        "file_id": file._id},
            "payload": {"file_id": file._id, "property_type": Number(file.property_ref)}}
}

// A file sent to agents of the agency (their server ids); they get it as a pushed notice.
function sendRequest(file, userId, agentId, agents) {
    var content = copyRequest(file, userId, agentId).content
    content.agents = agents
    return content
}

// The detail shows one file: choosing several belongs to a list.
function detailEntries(entries) {
    return entries.filter(function (e) { return e.key !== "select" })
}

function idOf(value) {
    return value !== null && typeof value === "object" ? value._id : value
}

// The copied file as the store takes it: related objects by their server ids.
function copiedFileForStore(file) {
    var f = copy(file)
    if (f.customer_ref !== undefined)
        f.customer_ref = idOf(f.customer_ref)
    if (Array.isArray(f.district))
        f.district = f.district.map(idOf)
    if (Array.isArray(f.hashtag))
        f.hashtag = f.hashtag.map(idOf)
    return f
}

function cleanRequest(userId, tradeType, propertyType, filters) {
    return {"user_id": userId, "trade_id": tradeType, "property_id": propertyType, "filter": filters}
}

// Tag 1..3 sends choice - 1; the same tag again clears it.
function tagStatus(currentStatus, choice) {
    var status = choice - 1
    return Number(currentStatus) === status ? -1 : status
}

function tagRequest(userId, offer, request, currentStatus, choice) {
    return {"user_id": userId, "file_id": offer._id, "property_id": Number(offer.property_ref),
            "tag_for": request._id, "status": tagStatus(currentStatus, choice)}
}

// The row's tag against the file the match list was opened for.
function tagOf(row, fileId) {
    if (row.tag_status !== undefined && row.tag_status !== null)
        return Number(row.tag_status)
    var tags = row.file_tag || []
    for (var i = 0; i < tags.length; ++i)
        if (tags[i].file_id === fileId)
            return Number(tags[i].status)
    return -1
}

// Sort dialog fields for a property and trade type; price labels by trade class.
function sortFields(propertyType, tradeType, tradeClass) {
    var p = Number(propertyType)
    var price1 = {1: "قیمت هر متر", 2: "مبلغ رهن", 4: "سقف مبلغ رهن", 5: "مبلغ بلاعوض"}
    var price2 = {1: "قیمت کل", 2: "مبلغ اجاره", 3: "سقف مبلغ خرید", 4: "سقف مبلغ اجاره", 5: "مبلغ قرض الحسنه"}
    var f = [{"title": "پیش فرض", "key": "_id"}, {"title": "کد فایل", "key": "auto_code"}]
    if (p !== 53 && p !== 57) f.push({"title": "متراژ بنا", "key": "home"})
    f.push({"title": "متراژ زمین", "key": "area"})
    if ([53, 54, 57, 59].indexOf(p) === -1) f.push({"title": "تعداد اتاق", "key": "room"})
    if (price1[tradeClass] !== undefined) f.push({"title": price1[tradeClass], "key": "price_1"})
    if (price2[tradeClass] !== undefined) f.push({"title": price2[tradeClass], "key": "price_2"})
    f.push({"title": "تاریخ ثبت", "key": "date"})
    return f
}

var sortDirections = [{"title": "صعودی", "key": "asc"}, {"title": "نزولی", "key": "desc"}]

// Due rentals: archived rents whose lease is ending, 13 to 11 months after archiving.
function dueWindow(now) {
    return {"start": now - 34186659000, "end": now - 28927173000}
}

function dueFilters(now) {
    var w = dueWindow(now)
    return [item("due", w.start, w.end)]
}

function oldFilters(now, agentId) {
    // A manager's number 0 (not the text "0") is what selects the files without an agent.
    return [item("trade_ref", 1, 8), item("date", 0, now - 2629743000),
            {"key": "agent_ref", "value": {"value_1": agentId ? String(agentId) : 0, "value_2": ""}}]
}

function oldCountText(count) {
    return count >= 100 ? "99+" : String(count)
}

function rowIndexById(rows, fileId) {
    for (var i = 0; i < rows.length; ++i)
        if (rows[i]._id === fileId)
            return i
    return -1
}

function foldTrade(tradeType) {
    var t = Number(tradeType)
    return t > 8 ? t - 8 : t
}

// Marker and label colour of a trade type, archived ones as their active kind.
var tradeColors = {1: "#43a047", 2: "#1e88e5", 3: "#fb8c00", 4: "#00897b",
                   5: "#e53935", 6: "#8e24aa", 7: "#6d4c41", 8: "#3949ab"}

function tradeColor(tradeType) {
    var c = tradeColors[foldTrade(tradeType)]
    return c === undefined ? "#757575" : c
}

// A file read again keeps the tick the user gave it (tickedIds: the ticked files' ids).
function ticked(file, tickedIds) {
    if (file._id && tickedIds.indexOf(file._id) !== -1)
        file.select = true
    return file
}

// A card's code: a draft has none yet (its code is 0).
function cardCode(file) {
    var code = file.code ? file.code.auto : 0
    return Number(Texts.plainText(code)) ? "کد " + code : ""
}

// A card's prices: a price of 0 was never given and goes with its label; neither given, no line.
function cardPrices(file) {
    var p = file.price || {}
    var parts = []
    if (Number(Texts.plainText(p.price_1)))
        parts.push(Texts.getPartPriceText(file) + " " + Texts.currency(p.price_1))
    if (Number(Texts.plainText(p.price_2)))
        parts.push(Texts.getWholePriceText(file) + " " + Texts.currency(p.price_2))
    return parts.join("   ")
}

// A file's counterparts: the other side of its trade, same property, prices within 10 %.
// Rents compare one full rent: the deposit at 30,000 a month per million, plus the rent.
function matchOptions(file) {
    var trade = foldTrade(file.trade_ref)
    var counterpart = trade > 4 ? trade - 4 : trade + 4
    var p = file.price || {}
    var p1 = Number(p.price_1) || 0
    var p2 = Number(p.price_2) || 0
    var filters = []
    if (trade === 2 || trade === 6) {
        var low = Math.round(p1 * 0.9 / 1000000 * 30000) + p2 * 0.9
        var high = Math.round(p1 * 1.1 / 1000000 * 30000) + p2 * 1.1
        filters.push(item("price.full_rent_price", Math.round(low), Math.round(high)))
    } else {
        filters.push(item("price.price_2", Math.round(p2 * 0.9), Math.round(p2 * 1.1)))
    }
    return {"tradeType": counterpart, "propertyType": Number(file.property_ref), "filters": filters}
}

// The narrowest grid cell whose card shows its file's kind whole beside a six-digit code, and its
// prices at full size up to one in the billions beside one in the tens of millions, for the kinds
// the list holds (a trade or property type below 1 is any), with room for a match mark when
// `marked`; `measure` gives a text's width at the cards' value size. The rest is the card's
// margins, its menu button and the code's bold.
function cardWidth(measure, tradeType, propertyType, marked) {
    var trades = Number(tradeType) > 0 ? [Number(tradeType)] : Object.keys(Texts.tradeNames)
    var properties = Number(propertyType) > 0 ? [Number(propertyType)] : Object.keys(Texts.propertyNames)
    var widest = function (keys, text) {
        var w = 0
        for (var i = 0; i < keys.length; ++i)
            w = Math.max(w, measure(text(keys[i])))
        return w
    }
    var title = measure("کد 000000 ") + widest(trades, Texts.getTradeName) + measure(" ")
            + widest(properties, Texts.getPropertyName) + (marked ? measure("  علامت 0") : 0)
    var prices = widest(trades, function (t) {
        var file = {"trade_ref": t}
        return Texts.getPartPriceText(file) + " 0,000,000,000   " + Texts.getWholePriceText(file) + " 00,000,000"
    })
    return Math.ceil(Math.max(title, prices)) + 80
}
