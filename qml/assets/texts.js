.pragma library
// Pure text functions behind Consts, kept free of singletons so tests can call them directly.

var tradeNames = {
    1: "فروش", 2: "اجاره", 3: "مشارکت", 4: "پیش فروش",
    5: "متقاضی خرید", 6: "متقاضی اجاره", 7: "متقاضی مشارکت", 8: "متقاضی پیش خرید",
    9: "بایگانی فروش", 10: "بایگانی اجاره", 11: "بایگانی مشارکت", 12: "بایگانی پیش فروش",
    13: "بایگانی متقاضی خرید", 14: "بایگانی متقاضی اجاره", 15: "بایگانی متقاضی مشارکت",
    16: "بایگانی متقاضی پیش خرید"
}

var propertyNames = {
    50: "آپارتمان", 51: "ویلا", 52: "خانه حیاط دار", 53: "زمین", 54: "دفتر کار", 55: "مغازه",
    56: "مستغلات", 57: "خانه کلنگی", 58: "انبار", 59: "هتل", 60: "باغ", 61: "دامداری",
    62: "مرغداری", 63: "کارخانه", 64: "کارگاه", 65: "سوله"
}

function getTradeName(id) {
    var name = tradeNames[Number(id)]
    return name === undefined ? "" : name
}

function getPropertyName(id) {
    var name = propertyNames[Number(id)]
    return name === undefined ? "" : name
}

// Archived trade types 9..16 mirror 1..8.
function reduceTrade(tradeType) {
    var t = Number(tradeType)
    return t > 8 ? t - 8 : t
}

function fixNumbers(text) {
    if (typeof text !== "string")
        return text
    return text.replace(/[\u06F0-\u06F9]/g, function (d) {
        return String.fromCharCode(d.charCodeAt(0) - 0x06F0 + 48)
    }).replace(/[\u0660-\u0669]/g, function (d) {
        return String.fromCharCode(d.charCodeAt(0) - 0x0660 + 48)
    })
}

// Text searched or compared as the user reads it: Persian and Arabic-Indic digits are the
// ASCII ones, whichever the user or the stored text used.
function plainText(value) {
    return fixNumbers(value === undefined || value === null ? "" : String(value))
}

function textHas(text, part) {
    return plainText(text).indexOf(plainText(part)) !== -1
}

function sameText(a, b) {
    return plainText(a) === plainText(b)
}

function currency(value) {
    if (value === undefined || value === null)
        return ""
    var text = fixNumbers(String(value))
    var dot = text.indexOf(".")
    var whole = dot < 0 ? text : text.substring(0, dot)
    var rest = dot < 0 ? "" : text.substring(dot)
    var sign = whole.charAt(0) === "-" ? "-" : ""
    var digits = whole.substring(sign.length)
    var grouped = ""
    for (var i = digits.length; i > 3; i -= 3)
        grouped = "," + digits.substring(i - 3, i) + grouped
    grouped = digits.substring(0, i) + grouped
    return sign + grouped + rest
}

function currency_remove(text) {
    if (text === undefined || text === null)
        return ""
    return String(text).replace(/[,\u066C]/g, "")
}

function isEmpty(value) {
    return value === undefined || value === null || value === ""
}

// Toggle texts hold each chosen key followed by ",": a key must match whole, so 3 is not found in "13,".
function hasToggle(toggleText, key) {
    if (isEmpty(toggleText))
        return false
    return ("," + String(toggleText)).indexOf("," + String(key) + ",") !== -1
}

function getFileAttrValue(file, parentKey, key, isToggle, isCurrency) {
    if (!file || isEmpty(file[parentKey]))
        return ""
    if (isToggle)
        return hasToggle(file[parentKey], key) ? "true" : ""
    var value = file[parentKey][key]
    if (isEmpty(value))
        return ""
    return isCurrency ? currency(value) : String(value)
}

function fix(value) {
    var n = Math.round(Number(value))
    if (isEmpty(value) || isNaN(n))
        return value
    return String(n)
}

function getPartPriceText(file) {
    switch (Number(file.trade_ref)) {
    case 2: case 6: case 10: case 14: return "رهن"
    case 3: case 7: case 11: case 15: return "بلاعوض"
    default: return "متری"
    }
}

function getWholePriceText(file) {
    switch (Number(file.trade_ref)) {
    case 2: case 6: case 10: case 14: return "اجاره"
    case 3: case 7: case 11: case 15: return "قرض الحسنه"
    default: return "کل"
    }
}

function getHint(field, tradeType) {
    var t = reduceTrade(tradeType)
    if (t === 2 && field.parent_key === "price") {
        if (field.key === "price_1") return "مبلغ رهن"
        if (field.key === "price_2") return "مبلغ اجاره"
    }
    if (t <= 4)
        return field.title
    if (t === 6 && field.parent_key === "price") {
        if (field.key === "price_1") return "سقف مبلغ رهن"
        if (field.key === "price_2") return "سقف مبلغ اجاره"
    }
    if (t !== 7 || field.key !== "price_2")
        return field.request_title
    return "سقف مبلغ مشارکت"
}

function tradeTypeIs(tradeType) {
    switch (Number(tradeType)) {
    case 1: case 4: case 9: case 12: return 1
    case 2: case 10: return 2
    case 5: case 8: case 13: case 16: return 3
    case 6: case 14: return 4
    case 3: case 7: case 11: case 15: return 5
    default: return 0
    }
}

function escapeHtml(text) {
    if (isEmpty(text))
        return ""
    return String(text).replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;")
        .replace(/"/g, "&quot;").replace(/'/g, "&#39;")
}

// The text is shown as rich text, so everything but the generated links is escaped.
function setAutoCodeTag(text) {
    if (isEmpty(text))
        return ""
    var pieces = String(text).split("#")
    var out = escapeHtml(pieces[0])
    for (var i = 1; i < pieces.length; ++i) {
        var piece = pieces[i]
        var digits = /^[0-9]*/.exec(fixNumbers(piece))[0]
        if (digits.length > 0)
            out += "<a href=\"" + digits + "\" style=\"color:#2196F3;text-decoration:none;\">#" + digits + "</a>"
        else
            out += "#"
        out += escapeHtml(piece.substring(digits.length))
    }
    return out
}

function manipulateColor(color, factor) {
    var hex = String(color).replace("#", "")
    var out = "#"
    for (var i = 0; i < 3; ++i) {
        var channel = Math.min(255, Math.round(parseInt(hex.substr(i * 2, 2), 16) * factor))
        out += (channel < 16 ? "0" : "") + channel.toString(16)
    }
    return out
}

function words(text) {
    return String(text).split(" ").filter(function (w) { return w.length > 0 }).join("_")
}

function nonEmpty(value) {
    return !isEmpty(value) && value !== 0
}

// The listing as a text for the clipboard and the messaging channel. account is the current account,
// cards the form cards of the file's trade and property type, registerDate the Jalali registration date.
function shareText(file, account, cards, registerDate) {
    account = account || {}
    cards = cards || []
    var owner = account.parent ? account.parent : account
    var t = reduceTrade(file.trade_ref)
    var text = "#"
    if (owner.city && !isEmpty(owner.city.title))
        text += owner.city.title + "_"
    var districts = file.district || []
    for (var d = 0; d < districts.length; ++d)
        text += districts[d].title + " "

    var code = file.code || {}
    text += "\n\n#کد_فایل_" + code.auto + "\n"
    if (!isEmpty(code.manual))
        text += "#شناسه_فایل_" + code.manual + "\n"
    text += "تاریخ:" + registerDate + "\n"
    text += "#" + words(getTradeName(file.trade_ref)) + "_" + words(getPropertyName(file.property_ref)) + "\n"

    var skippedParents = ["customer", "guard", "code", "price", "district"]
    if (cards.length > 0) {
        var inputs = cards[0].inputs || []
        for (var i = 0; i < inputs.length; ++i) {
            var input = inputs[i]
            if (skippedParents.indexOf(input.parent_key) !== -1 || input.key === "address")
                continue
            var value = getFileAttrValue(file, input.parent_key, input.key, false, input.currency)
            if (value !== "")
                text += getHint(input, t) + " " + fix(value) + "\n"
        }
    }

    for (var c = 1; c < cards.length; ++c) {
        var card = cards[c]
        var names = []
        var toggles = card.toggles || []
        for (var k = 0; k < toggles.length; ++k) {
            var toggle = toggles[k]
            if (getFileAttrValue(file, toggle.parent_key, toggle.key, true) !== "true")
                continue
            names.push(t > 5 ? toggle.request_title : toggle.title)
            var attached = toggle.attachedToggles || []
            for (var a = 0; a < attached.length; ++a) {
                var at = attached[a]
                if (at.parent_key !== "tenant" && getFileAttrValue(file, at.parent_key, at.key, true) === "true")
                    names.push(t > 5 ? at.request_title : at.title)
            }
        }
        var collected = names.join(",")
        if (card.stepper) {
            var step = getFileAttrValue(file, card.stepper.parent_key, card.stepper.key, false, false)
            if (step !== "")
                collected += (collected.length > 0 ? "," : "") + card.stepper.title + " " + step
        }
        if (collected.length > 0)
            text += "\n" + card.title + " : " + collected
    }

    var info = file.info || {}
    var price = file.price || {}
    text += "\n"
    if (!isEmpty(info.desc))
        text += info.desc
    if (nonEmpty(price.loan))
        text += (isEmpty(info.desc) ? "" : "\n") + "مبلغ وام : " + currency(price.loan)

    text += "\n\nمبلغ " + getPartPriceText(file) + " :" + currency(price.price_1) + " تومان"
    text += "\nمبلغ " + getWholePriceText(file) + " :" + currency(price.price_2) + " تومان\n\n\n\n"

    var accountInfo = account.info || {}
    var ownerInfo = owner.info || {}
    if (!isEmpty(owner.business_name))
        text += "\n" + owner.business_name
    if (!isEmpty(account.name_family))
        text += "\nکارشناس : " + account.name_family
    var lines = [["تلفن همراه : ", accountInfo.mobile_1], ["تلفن همراه : ", accountInfo.mobile_2],
                 ["تلفن ثابت : ", accountInfo.phone_1], ["تلفن ثابت : ", accountInfo.phone_2],
                 ["آدرس ایمیل : ", accountInfo.email], ["آدرس وبسایت : ", accountInfo.site],
                 ["تلگرام : ", account.telegram_channel], ["اینستاگرام : ", account.instagram]]
    for (var l = 0; l < lines.length; ++l) {
        if (!isEmpty(lines[l][1]))
            text += "\n" + lines[l][0] + lines[l][1]
    }
    if (!isEmpty(ownerInfo.address))
        text += "\nآدرس دفتر : " + ownerInfo.address
    if (!isEmpty(account.description))
        text += "\n" + account.description
    return text
}

// The log's copy of a request or a reply to `name`: every token, and the verification code of
// the login's events, masked. `text`, the value's JSON when the caller has it, is logged as it is
// when it cannot hold either, so that a page of files is not written out again on the GUI thread.
var loginCodeEvents = ["mobile_check", "email_check", "code_resend", "verify_check"]

function logText(name, value, text) {
    var codes = loginCodeEvents.indexOf(String(name).replace(/_result$/, "")) !== -1
    if (typeof text === "string" && !codes && !/token/i.test(text))
        return text
    return JSON.stringify(value, function (key, v) {
        return /token/i.test(key) || (codes && key === "code") ? "***" : v
    })
}
