.pragma library
.import "qrc:/assets/texts.js" as Texts
// What the agency settings screens decide, as plain functions: the drawer's entries by role, agent
// rows and accounts from the server's records, the agent editor's access bits, the profile request
// and the work report's filters.

var managerType = 100

var roles = [
    {"type": 0, "title": "مشاور"},
    {"type": 1, "title": "منشی"},
    {"type": 2, "title": "معاون"}
]

// The editor's switches in their order, with their access bits.
var switches = [
    {"key": "add", "title": "ثبت فایل", "bit": 2},
    {"key": "edit", "title": "ویرایش فایل", "bit": 4},
    {"key": "delete", "title": "حذف فایل", "bit": 8},
    {"key": "search", "title": "جستجوی پیشرفته", "bit": 2048},
    {"key": "sensitive", "title": "جزئیات تماس فایل", "bit": 16},
    {"key": "phonebook", "title": "دفترچه تلفن", "bit": 32},
    {"key": "windows", "title": "ورود با Windows", "bit": 64},
    {"key": "android", "title": "ورود با Android", "bit": 128},
    {"key": "ios", "title": "ورود با iOS", "bit": 256},
    {"key": "onedevice", "title": "ورود با یک دستگاه", "bit": 1024}
]

var newAgentAccess = 448
var platformBits = 64 | 128 | 256
// Add, edit, delete, sensitive details, phone book and advanced search.
var officeBits = 2 | 4 | 8 | 16 | 32 | 2048
var oneDeviceBit = 1024

var entryTitles = {
    "store": "بنگاه من", "hashtag": "برچسب ها", "district": "مناطق", "mine": "فایلهای من",
    "pinned": "سنجاق شده ها", "report": "گزارش کار", "settings": "تنظیمات", "logout": "خروج از حساب کاربری"
}

function copy(value) {
    return value === undefined || value === null ? value : JSON.parse(JSON.stringify(value))
}

function idOf(value) {
    return value !== null && typeof value === "object" ? value._id : value
}

// The drawer's entries for an account of this type and access.
function drawerKeys(type, access) {
    type = Number(type)
    if (type === managerType || type === 2)
        return ["store", "hashtag", "district", "mine", "pinned", "report", "settings", "logout"]
    if ((Number(access) & oneDeviceBit) !== 0)
        return ["mine", "pinned", "report", "settings"]
    return ["mine", "pinned", "report", "settings", "logout"]
}

function drawerEntries(type, access) {
    return drawerKeys(type, access).map(function (key) { return {"key": key, "title": entryTitles[key]} })
}

// A server agent record as a row of the agent list.
function agentRow(record, parentServerId) {
    var row = copy(record.agent_ref) || {}
    row.user_ref = parentServerId
    row.access = Number(record.access) || 0
    row.type = Number(record.type) || 0
    row.status = !!record.status && Number(record.status.type) === 1
    return row
}

// A server agent record as the account object the store saves.
function agentAccount(record, parentServerId) {
    var acc = copy(record.agent_ref) || {}
    acc.user_ref = parentServerId
    acc.access = record.access
    acc.type = record.type
    acc.device = copy(record.device)
    acc.status = copy(record.status)
    // The record's form settings stay with the account (its hidden toggles).
    if (record.setting !== undefined)
        acc.setting = copy(record.setting)
    return acc
}

// The status the server is asked to give an agent: 2 turns an active agent off, 1 turns it on.
function nextStatus(active) {
    return {"type": active ? 2 : 1}
}

// The switches' bits as the editor starts: an agent's own when editing, else a new agent's.
function startAccess(edit, agent) {
    return edit && agent ? Number(agent.access) || 0 : newAgentAccess
}

// Choosing a role presets the office switches: on for a secretary or vice-manager, off for an
// agent; the login platforms are always on, the one-device switch stays as it was.
function presetAccess(role, access) {
    var kept = Number(access) & oneDeviceBit
    var office = Number(role) === 0 ? 0 : officeBits
    return kept | office | platformBits
}

function hasBit(access, bit) {
    return (Number(access) & bit) !== 0
}

function withBit(access, bit, on) {
    return on ? (Number(access) | bit) : (Number(access) & ~bit)
}

// A vice-manager's switches are all fixed; the sensitive details are an agent's choice only.
function switchEnabled(role, key) {
    role = Number(role)
    if (role === 2)
        return false
    if (key === "sensitive")
        return role === 0
    return true
}

function agentRequest(userId, agentId, access, type) {
    return {"user_id": userId, "agent_id": agentId, "access": Number(access), "type": Number(type)}
}

// The profile form's first complaint, or "" when it can be sent.
function profileError(form, isAgent) {
    if (!form.name_family || !String(form.name_family).trim())
        return "نام و نام خانوادگی را تکمیل نمایید."
    if (isAgent && !form.city_id)
        return "ابتدا شهر خود را انتخاب نمایید."
    var email = String((form.info || {}).email || "").trim()
    if (email !== "" && !looksLikeEmail(email))
        return badEmail
    return ""
}

function profileRequest(userId, form) {
    var info = form.info || {}
    var request = {
        "user_id": userId,
        "city_id": form.city_id || "",
        "name_family": form.name_family || "",
        "business_name": form.business_name || "",
        "union_code": form.union_code || "",
        "map": {"lat": Number(form.lat) || 0, "lng": Number(form.lng) || 0},
        "info": {
            "email": info.email || "", "site": info.site || "", "address": info.address || "",
            "phone_1": info.phone_1 || "", "phone_2": info.phone_2 || "",
            "mobile_1": info.mobile_1 || "", "mobile_2": info.mobile_2 || "",
            "telegram": info.telegram || "", "instagram": info.instagram || ""
        },
        "desc": form.desc || ""
    }
    // A newly uploaded picture goes along; otherwise the stored one stays as it is.
    if (form.image)
        request.image = form.image
    return request
}

// The picture to store after a profile edit: the server's, else the new one sent with it; "" keeps
// the stored one.
function keptImage(result, sentImage) {
    var image = result ? (result.profile_image || result.image) : ""
    if (image)
        return String(image)
    return sentImage ? String(sentImage) : ""
}

// The profile form's fields from the stored account.
function profileForm(acc) {
    acc = acc || {}
    var info = acc.info || {}
    var map = acc.map || {}
    return {
        "name_family": acc.name_family || "", "business_name": acc.business_name || "",
        "union_code": acc.union_code || "", "city_id": acc.city_ref || "",
        "lat": Number(map.lat) || 0, "lng": Number(map.lng) || 0, "desc": acc.description || "",
        "info": {
            "email": info.email || "", "site": info.site || "", "address": info.address || "",
            "phone_1": info.phone_1 || "", "phone_2": info.phone_2 || "",
            "mobile_1": info.mobile_1 || "", "mobile_2": info.mobile_2 || "",
            "telegram": acc.telegram_channel || "", "instagram": acc.instagram || ""
        }
    }
}

// One week before today's start up to today.
var week = 604800000

// A filter item as the file query reads it: bounds as text.
function item(key, first, second) {
    var value = {"value_1": String(first)}
    if (second !== undefined)
        value.value_2 = String(second)
    return {"key": key, "value": value}
}

// The report's filters for trade types from..to between two timestamps, for one agent or all.
function reportFilter(start, end, from, to, agentId) {
    var filter = [item("date", start, end), item("trade_ref", from, to)]
    if (agentId)
        filter.push(item("agent_ref", agentId))
    return filter
}

// The four reads of the report: live, archived, and the tab's offers and requests.
function reportFilters(start, end, archived, agentId) {
    var offers = archived ? 9 : 1
    return {
        "live": reportFilter(start, end, 1, 8, agentId),
        "archived": reportFilter(start, end, 9, 16, agentId),
        "offers": reportFilter(start, end, offers, offers + 3, agentId),
        "requests": reportFilter(start, end, offers + 4, offers + 7, agentId)
    }
}

function total(counts) {
    var sum = 0
    for (var i = 0; i < (counts || []).length; ++i)
        sum += Number(counts[i].count) || 0
    return sum
}

// One row per property type: its offers and requests side by side.
function reportRows(offers, requests) {
    var rows = []
    var byTitle = {}
    function add(list, key) {
        for (var i = 0; i < (list || []).length; ++i) {
            var title = list[i].title
            if (byTitle[title] === undefined) {
                byTitle[title] = rows.length
                rows.push({"title": title, "offers": 0, "requests": 0})
            }
            rows[byTitle[title]][key] = Number(list[i].count) || 0
        }
    }
    add(offers, "offers")
    add(requests, "requests")
    return rows
}

// The agent whose files the report counts: for anyone but a manager, its own; for a manager,
// the agent it opened the report for, or nobody.
function reportAgent(isManager, ownId, chosenAgentId) {
    if (!isManager)
        return ownId || ""
    return chosenAgentId || ""
}

// A Jalali date typed as "1403/9/18" (any of / - . between, Persian digits allowed) as its parts,
// or null when it is no date: the first six months have 31 days, the next five 30, the last 29,
// or 30 in a leap year (isLeap(year), when given).
function parseJalali(text, isLeap) {
    var parts = Texts.plainText(text).trim().split(/[\/\-.]/)
    if (parts.length !== 3 || !parts.every(function (p) { return /^[0-9]{1,4}$/.test(p) }))
        return null
    var y = parseInt(parts[0], 10), m = parseInt(parts[1], 10), d = parseInt(parts[2], 10)
    var days = m <= 6 ? 31 : m <= 11 ? 30 : (typeof isLeap === "function" && isLeap(y) ? 30 : 29)
    if (!(y > 0) || !(m >= 1 && m <= 12) || !(d >= 1 && d <= days))
        return null
    return {"year": y, "month": m, "day": d}
}

var badDate = "تاریخ وارد شده صحیح نیست"
var badMobile = "شماره همراه صحیح را وارد کنید."
var badEmail = "ایمیل وارد شده صحیح نیست"

// A new agent's number as sent ("09" and nine more digits, whatever digits were typed), or
// {error}.
function agentNumber(text) {
    var number = Texts.plainText(text).trim()
    if (number === "")
        return {"error": "شماره همراه مشاور را وارد نمایید."}
    if (!/^09[0-9]{9}$/.test(number))
        return {"error": badMobile}
    return {"number": number}
}

function looksLikeEmail(text) {
    return /^[^\s@]+@[^\s@]+\.[^\s@]+$/.test(String(text))
}
