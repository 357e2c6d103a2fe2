.pragma library

// Texts and choices of the Excel export dialog.

var title = "خروجی اکسل"
var filesButton = "خروجی اکسل فایلها"
var contactsButton = "خروجی اکسل تلفن ها"
var runningText = " در حال تولید فایل اکسل ..."
var doneText = "فایل اکسل باموفقیت ایجاد شد."
var openButton = "نمایش فایل اکسل"
var closeButton = "بستن"
var openFailed = "برنامه ای برای باز کردن فایل اکسل پیدا نشد. فایل در این مسیر ذخیره شده است:"

// The pushes from the server wait under this hold while an export runs.
var holdName = "export"

function text(value) {
    return value === undefined || value === null ? "" : String(value)
}

// [userId, agentId] of the files export: a manager or vice-manager takes every file of the
// agency, anyone else only their own.
function filesArguments(managerLevel, userId, agentId) {
    return managerLevel ? [text(userId), ""] : [text(userId), text(agentId)]
}

// The phone book is the manager's alone.
function showContacts(manager) {
    return manager === true
}

// The address the system opens a saved workbook by.
function fileUrl(path) {
    return "file:///" + text(path).replace(/^\/+/, "")
}

// The path reads left to right inside the Persian text: marks keep its leading "/" in front.
function openFailedText(path) {
    return openFailed + "\n\u200E" + text(path) + "\u200E"
}

// The bar's place, 0 to 1, for p of max.
function fraction(p, max) {
    var m = Number(max)
    if (!(m > 0))
        return 0
    return Math.max(0, Math.min(1, Number(p) / m))
}
