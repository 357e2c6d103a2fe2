.pragma library
.import "qrc:/assets/texts.js" as Texts

// District and hashtag settings are one screen over two kinds of row; these are the differences.
var kinds = {
    "district": {
        "title": "مناطق",
        "placeholder": "نام منطقه",
        "filterKey": "district_ref",
        "create": "district_create", "edit": "district_edit", "remove": "district_remove",
        "titleKey": "title", "idKey": "district_id",
        "duplicate": "این منطقه قبلا ثبت شده است",
        "hasFiles": "برای این منطقه تعدادی فایل ثبت شده است\nلطفا قبل از حذف با ویرایش فایل ها آنها را به منطقه ای دیگر منتقل نمایید.",
        "confirm": "بعد از حذف منطقه قادر به برگرداندن آن نخواهید بود !",
        "exist": "ابتدا باید فایلهایی که برای این منطقه ثبت شده اند را ویرایش یا حذف کنید.",
        "removeFailed": "خطایی در حذف منطقه رخ داده است.",
        "editFailed": "خطایی در ویرایش منطقه رخ داده است."
    },
    "hashtag": {
        "title": "برچسب ها",
        "placeholder": "نام برچسب",
        "filterKey": "hashtag_ref",
        "create": "hashtag_create", "edit": "hashtag_edit", "remove": "hashtag_remove",
        "titleKey": "hashtag", "idKey": "hashtag_id",
        "duplicate": "این برچسب قبلا ثبت شده است",
        "hasFiles": "برای این برچسب تعدادی فایل ثبت شده است\nلطفا قبل از حذف با ویرایش فایل ها برچسب آنها را حذف نمایید.",
        "confirm": "در صورت تایید این برچسب از روی تمام فایلها برداشته می شود!",
        "exist": null,
        "removeFailed": "خطایی در حذف برچسب رخ داده است.",
        "editFailed": "خطایی در ویرایش برچسب رخ داده است."
    }
}

var emptyTitle = "عنوان را وارد کنید"

function trimmed(text) {
    return String(text === undefined || text === null ? "" : text).trim()
}

// Whether another row already has this title, whatever digits either was typed in; the row
// being renamed does not count.
function isDuplicate(rows, title, exceptId) {
    for (var i = 0; i < rows.length; ++i)
        if (Texts.sameText(rows[i].title, title) && rows[i]._id !== exceptId)
            return true
    return false
}

function createContent(kind, title, userId, agentId) {
    var c = {"user_id": userId, "agent_id": agentId}
    c[kinds[kind].titleKey] = title
    return c
}

// The renamed row's own fields, with its new title and the ids the server asks for.
function editContent(kind, row, title, userId, agentId) {
    var c = {}
    for (var k in row)
        c[k] = row[k]
    var K = kinds[kind]
    if (kind === "district")
        c.title = title
    else
        c.hashtag = title
    c[K.idKey] = row._id
    c.user_id = userId
    c.agent_id = agentId
    return c
}

function removeContent(kind, row, userId, agentId) {
    var c = {"user_id": userId, "agent_id": agentId}
    c[kinds[kind].idKey] = row._id
    return c
}

function fileFilter(kind, id) {
    return {"key": kinds[kind].filterKey, "value": {"value_1": id, "value_2": ""}}
}

// What a removal reply asks for: "exist" (files still use the row), "failed" (no result) or
// "removed".
function removalOutcome(kind, content) {
    if (kind === "district" && content && content.exist === true)
        return "exist"
    if (!content || content.result === undefined || content.result === null)
        return "failed"
    return "removed"
}

function indexOf(rows, id) {
    for (var i = 0; i < rows.length; ++i)
        if (rows[i]._id === id)
            return i
    return -1
}

// A pushed change applied to the open list; answers the new list.
function applyNotice(rows, type, data) {
    var list = rows.slice()
    if (!data || data._id === undefined)
        return list
    var i = indexOf(list, data._id)
    if (type === "create" || type === "edit") {
        if (i !== -1) {
            var row = {}
            for (var k in list[i])
                row[k] = list[i][k]
            if (data.title !== undefined)
                row.title = data.title
            list[i] = row
        } else if (type === "create") {
            list.push({"_id": data._id, "title": data.title, "user_id": data.user_ref})
        }
    } else if (type === "remove" && i !== -1) {
        list.splice(i, 1)
    }
    return list
}
