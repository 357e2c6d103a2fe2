.pragma library
.import "qrc:/assets/texts.js" as Texts
// The file editor's request building and reply handling, apart from the screen.

var OFFLINE_MESSAGE = "متاسفانه ثبت فایل در حالت آفلاین امکان پذیر نمی باشد!"
var DRAFT_TITLE = "آیا مطمئن هستید ؟"
var DRAFT_TEXT = "در صورت تایید فایل نیمه تمام در پیش نویس ها ذخیره می شود."
var DRAFT_FAILED = "پیش نویس ذخیره نشد: "
var GUARD_TYPE = 17

var SAVED_MESSAGE = "فایل با موفقیت ثبت شد"
var GONE_MESSAGE = "این فایل در جای دیگری حذف شده است و ثبت نمی شود؛ متن وارد شده را می توانید کپی کنید."

// What was done elsewhere to the file being edited since the form opened, as one line ("" for
// nothing); `now` is the stored file, null once it is deleted for ever.
function fateLine(opened, now) {
    if (!opened)
        return ""
    if (!now)
        return GONE_MESSAGE
    var said = []
    var binned = function (f) { return !!(f.status && f.status.delete) }
    var archived = function (f) { return Number(f.trade_ref) > 8 }
    if (binned(now) !== binned(opened))
        said.push(binned(now) ? "این فایل در جای دیگری به سطل بازیافت منتقل شد" : "این فایل در جای دیگری از سطل بازیافت بازگردانده شد")
    if (archived(now) !== archived(opened))
        said.push(archived(now) ? "این فایل در جای دیگری بایگانی شد" : "این فایل در جای دیگری از بایگانی خارج شد")
    return said.join("؛ ")
}

// The answer to a save: the message and, when the stored file has one, its code.
function savedMessage(stored) {
    var code = stored && stored.code ? stored.code.auto : undefined
    return isEmpty(code) ? SAVED_MESSAGE : SAVED_MESSAGE + "\n" + "کد " + code
}

function copy(value) {
    return value === undefined || value === null ? value : JSON.parse(JSON.stringify(value))
}

function isEmpty(value) {
    return value === undefined || value === null || value === ""
}

function liveTrade(tradeType) {
    return Texts.reduceTrade(tradeType)
}

function screenTitle(isRequest, editing) {
    if (isRequest)
        return editing ? "ویرایش فایل متقاضی" : "فایل متقاضی جدید"
    return editing ? "ویرایش فایل ملکی" : "فایل ملکی جدید"
}

// The customer is asked for by the role of the live trade type: an archived sale still has an owner.
function customerRole(tradeType) {
    return liveTrade(tradeType) > 4 ? "متقاضی" : "مالک"
}

// The message that stops a save for want of a customer, or "".
function customerMessage(submitData) {
    var role = customerRole(submitData.trade_id)
    var c = submitData.customer
    var name = c ? c.name_family : undefined
    var mobile = c ? c.mobile_1 : undefined
    if (isEmpty(name) && isEmpty(mobile))
        return "لطفا نام و شماره همراه " + role + " را وارد نمایید"
    if (isEmpty(name))
        return "لطفا نام " + role + " را وارد نمایید"
    if (isEmpty(mobile))
        return "لطفا شماره همراه " + role + " را وارد نمایید"
    return ""
}

var CUSTOMER_KEYS = ["name_family", "mobile_1", "mobile_2", "phone_1", "phone_2"]
var GUARD_KEYS = ["name_family", "mobile_1"]

function picked(from, keys) {
    var out = {}
    keys.forEach(function (k) {
        if (from && !isEmpty(from[k]))
            out[k] = String(from[k])
    })
    return out
}

// The choices with the edited file's own customer, guard and exact address in place of the form's:
// an editor who may not see them sends them back as they are, never empty.
function withFileContact(submitData, editFile) {
    var data = copy(submitData) || {}
    var file = editFile || {}
    var customer = picked(file.customer, CUSTOMER_KEYS)
    if (Object.keys(customer).length > 0)
        data.customer = customer
    else
        delete data.customer
    var guard = picked(file._guard, GUARD_KEYS)
    if (Object.keys(guard).length > 0)
        data.guard = guard
    else
        delete data.guard
    var address = file.info ? file.info.address : ""
    if (!isEmpty(address)) {
        data.info = data.info || {}
        data.info.address = String(address)
    } else if (data.info) {
        delete data.info.address
    }
    return data
}

// The archived form of a live trade type is the live one plus 8, once, however it is reached.
function sentTrade(tradeType, archiveTicked, editedWasArchived) {
    var live = liveTrade(tradeType)
    return archiveTicked || editedWasArchived ? live + 8 : live
}

function logLine(p) {
    var line = "در تاریخ <b>" + Texts.escapeHtml(p.date) + "</b>"
    if (p.customer)
        line += " به نام <b>" + Texts.escapeHtml(p.customer.name_family) + "</b> به شماره <b>"
                + Texts.escapeHtml(p.customer.mobile_1) + "</b>"
    line += " توسط <b>" + Texts.escapeHtml(p.accountName) + "</b>"
    line += p.editing ? "<font color=\"green\"> ویرایش</font>" : "<font color=\"blue\"> ایجاد</font>"
    return line + " شد."
}

// The create or edit request content. p: {formType, submitData, editFile, current, archive,
// registerDate, description, location, selectedDistricts, chosenContact, hashtags, account, isManager,
// userId, agentId, chosenAgentId, mediaLinks, isPrivate, date, keepContact}; `current` is the edited
// file as stored now, whose archive, bin and pin state the edit keeps. A failure gives an empty object.
function buildContent(p) {
    try {
        var editing = !!p.editFile
        var keep = editing && p.keepContact === true
        var data = keep ? withFileContact(p.submitData, p.editFile) : (copy(p.submitData) || {})
        var live = liveTrade(data.trade_id)
        var now = editing ? (p.current || p.editFile) : null
        var wasArchived = editing && Number(now.trade_ref) > 8
        data.trade_id = sentTrade(live, p.archive === true, wasArchived)
        data.dates = {"register": Number(p.registerDate) || 0}
        if (!isEmpty(p.description)) {
            data.info = data.info || {}
            data.info.desc = p.description
        }
        if (p.location && p.formType === 0)
            data.map = {"lat": p.location.lat, "lng": p.location.lng}

        var selected = p.selectedDistricts || []
        if (p.formType === 1) {
            if (selected.length > 0)
                data.district = selected.map(function (d) { return {"title": d.title, "id": d._id} })
            else
                delete data.district
        } else if (data.district && !Array.isArray(data.district)) {
            var entered = copy(data.district)
            if (selected.length > 0 && Texts.sameText(selected[0].title, entered.title))
                entered.id = selected[0]._id
            data.district = [entered]
        }

        var customerInputs = data.customer
        var customer = copy(customerInputs) || {}
        customer.type = live
        var contact = keep ? p.editFile.customer : p.chosenContact
        if (contact && !isEmpty(contact.mobile_1) && contact.mobile_1 === customer.mobile_1)
            customer.id = contact._id
        var wrapped = {"customer_ref": customer}
        if (data.guard) {
            var guard = copy(data.guard)
            guard.type = GUARD_TYPE
            guard.address = data.info && data.info.address ? data.info.address : ""
            wrapped.guard = guard
        }
        delete data.guard
        data.customer = wrapped

        data.hashtag = (p.hashtags || []).map(function (h) {
            var tag = {"title": h.title}
            if (!isEmpty(h._id))
                tag.id = h._id
            return tag
        })

        if (editing) {
            data.user_id = p.editFile.user_id
            data.agent_id = p.editFile.agent_id
        } else {
            data.user_id = p.userId
            data.agent_id = p.isManager ? p.userId : p.agentId
        }
        if (!isEmpty(p.chosenAgentId))
            data.agent_id = p.chosenAgentId
        data.media_links = (p.mediaLinks || []).slice()
        data.status = {"is_private": p.isPrivate === true}
        if (editing) {
            var state = now.status || {}
            data.status["delete"] = state["delete"] === true
            data.status.pin = state.pin === true
        }

        var account = p.account || {}
        var content = {
            "property_id": data.property_id,
            "data": data,
            "log": logLine({"date": p.date, "customer": customerInputs, "accountName": account.name_family,
                            "editing": editing}),
            "register_id": account._id
        }
        if (editing)
            content.file_id = p.editFile._id
        return content
    } catch (e) {
        console.log("buildContent", e)
        return {}
    }
}

// The reply's file split into what each save takes: contacts, districts and hashtags stored on
// their own, the file keeping only their ids.
function splitReplyFile(replyFile) {
    var file = copy(replyFile)
    var contacts = [], districts = [], hashtags = []
    if (file.customer_ref && typeof file.customer_ref === "object") {
        contacts.push(file.customer_ref)
        file.customer_ref = file.customer_ref._id
    }
    if (file.guard && typeof file.guard === "object") {
        contacts.push(file.guard)
        file.guard = file.guard._id
    }
    var ids = function (list, into) {
        return (list || []).map(function (item) {
            if (item && typeof item === "object") {
                into.push(item)
                return item._id
            }
            return item
        })
    }
    if (Array.isArray(file.district))
        file.district = ids(file.district, districts)
    if (Array.isArray(file.hashtag))
        file.hashtag = ids(file.hashtag, hashtags)
    return {"file": file, "contacts": contacts, "districts": districts, "hashtags": hashtags}
}

// The store reads prices, sizes and counts as JSON numbers, as the server sends them: a draft's
// typed texts become numbers so that it keeps them. Free texts of these groups stay texts.
var numberGroups = ["price", "meter", "info"]
var textKeys = ["address", "desc"]

function withNumbers(data) {
    numberGroups.forEach(function (g) {
        var group = data[g]
        if (!group || typeof group !== "object")
            return
        for (var k in group)
            if (textKeys.indexOf(k) === -1 && /^[0-9]+(\.[0-9]+)?$/.test(String(group[k])))
                group[k] = Number(group[k])
    })
    return data
}

// The form stored locally as a draft: the built data in the stored file's form, without media and
// hashtags. What no stored row holds yet (a customer or guard typed in, a district by its title)
// goes as an object, which the store keeps with the draft.
function draftFile(content, p) {
    var data = withNumbers(copy(content.data) || {})
    delete data.media_links
    var file = data
    file.trade_ref = data.trade_id
    file.type = data.property_id
    file.draft = true
    file.user_ref = p.userId
    if (!p.isManager && !isEmpty(p.agentId))
        file.agent_ref = p.agentId
    var customer = data.customer && data.customer.customer_ref ? data.customer.customer_ref : {}
    // A customer typed in without a contact yet stays with the draft as typed; so does one matched
    // silently for an account without the phone book, which is never shown the contact's own.
    if (!isEmpty(customer.id) && p.phoneBook !== false)
        file.customer_ref = customer.id
    else if (!isEmpty(customer.name_family) || !isEmpty(customer.mobile_1))
        file.customer_ref = {"name_family": customer.name_family || "", "mobile_1": customer.mobile_1 || ""}
    else
        file.customer_ref = ""
    // The guard and the districts stay as the create request carries them: the guard as typed, a
    // district by its title, with its id only while that title is still the chosen district's.
    var guard = data.customer && data.customer.guard ? data.customer.guard : {}
    file.guard = !isEmpty(guard.name_family) || !isEmpty(guard.mobile_1)
            ? {"name_family": guard.name_family || "", "mobile_1": guard.mobile_1 || ""} : ""
    file.hashtag = []
    file.district = (Array.isArray(data.district) ? data.district : []).filter(function (d) {
        return d && !isEmpty(d.title)
    }).map(function (d) {
        var kept = {"title": String(d.title)}
        if (!isEmpty(d.id))
            kept.id = d.id
        return kept
    })
    delete file.customer
    delete file.trade_id
    delete file.property_id
    delete file.user_id
    delete file.agent_id
    return file
}

// Whether a list answering a contact read is the whole phone book, which had `asked` contacts
// when it was asked for: another screen's read of one kind or keyword holds fewer.
function isWholeBook(list, asked) {
    return !!list && list.length >= asked
}

// The channel service's address with its query; "" while no address is set, so nothing is sent.
function channelUrl(base, channel, text) {
    if (isEmpty(base) || isEmpty(channel))
        return ""
    return base + (String(base).indexOf("?") === -1 ? "?" : "&") + "channel=" + encodeURIComponent(channel)
            + "&text=" + encodeURIComponent(text)
}
