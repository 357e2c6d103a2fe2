.pragma library
.import "qrc:/assets/texts.js" as Texts

// The phone book's tabs, by contact kind, in this order.
var tabs = [
    {"kind": 1, "title": "فروشندگان"},
    {"kind": 2, "title": "موجرین"},
    {"kind": 6, "title": "مستاجران"},
    {"kind": 5, "title": "خریداران"},
    {"kind": 17, "title": "نگهبانان"},
    {"kind": 18, "title": "متفرقه"}
]

var OTHERS = 18
var GUARDS = 17

var nameMessage = "نام و نام خانوادگی را پر کنید."
var mobileMessage = "شماره همراه 1 را وارد کنید."
var badMobile = "شماره همراه صحیح را وارد کنید."
var removeTitle = "آیا مطمئن هستید ؟"
var removeText = "بعد از حذف مخاطب، قادر به برگرداندن آن نخواهید بود !"

// Pressing a contact: its editor for "others", the files it is the customer of for the rest.
function pressAction(kind) {
    return kind === OTHERS ? "edit" : "files"
}

// The long-press menu: guards have none; "others" go straight to the removal confirmation.
function longPressAction(kind) {
    if (kind === GUARDS)
        return "none"
    if (kind === OTHERS)
        return "remove"
    return "menu"
}

function customerFilter(contact) {
    return {"key": "customer_ref", "value": {"value_1": contact._id}}
}

function isMobile(number) {
    return /^[0-9]{1,15}$/.test(number)
}

function text(value) {
    return String(value === undefined || value === null ? "" : value).trim()
}

// The content of "contact_create" (no contactId) or "contact_edit", or {error}.
function editorContent(form, userId, agentId, contactId) {
    var c = {"user_id": userId}
    var edit = contactId !== undefined && contactId !== null && contactId !== ""
    if (edit) {
        c.contact_id = contactId
    } else {
        c.agent_id = agentId
        c.type = OTHERS
    }
    var keys = ["name_family", "mobile_1", "mobile_2", "job", "address"]
    for (var i = 0; i < keys.length; ++i)
        c[keys[i]] = text(form[keys[i]])
    c.mobile_1 = Texts.fixNumbers(c.mobile_1)
    c.mobile_2 = Texts.fixNumbers(c.mobile_2)
    if (c.name_family === "")
        return {"error": nameMessage}
    if (c.mobile_1 === "")
        return {"error": mobileMessage}
    // Digits only, as long as the listing form's customer mobile allows; the second when given.
    if (!isMobile(c.mobile_1) || (c.mobile_2 !== "" && !isMobile(c.mobile_2)))
        return {"error": badMobile}
    return c
}

// The contact a removal reply leaves: it keeps other kinds on the server when its "type" still
// lists any, and is then stored again rather than deleted.
function keepsKinds(result) {
    return !!result && Array.isArray(result.type) && result.type.length > 0
}

function hasKind(contact, kind) {
    var types = contact && contact.type ? contact.type : []
    for (var i = 0; i < types.length; ++i)
        if (Number(types[i]) === Number(kind))
            return true
    return false
}

// Whether a contact list can be the answer to getContacts(kind, 0, keyword): the answering
// signal is shared, so a list that another screen asked for is recognised and dropped.
function answers(list, kind, keyword) {
    for (var i = 0; i < list.length; ++i) {
        var c = list[i]
        if (kind > 0 && !hasKind(c, kind))
            return false
        if (keyword !== "" && [c.name_family, c.address, c.mobile_1, c.mobile_2].every(function (v) {
            return !Texts.textHas(v, keyword)
        }))
            return false
    }
    return true
}
