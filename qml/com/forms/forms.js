.pragma library
.import "qrc:/assets/texts.js" as Texts
// The listing form's decisions, kept apart from the items so they can be checked without a window.

var FILE = 0
var REQUEST = 1
var BOARD_FILTER = 2
var SEARCH_FILTER = 3
var SETTINGS = 4

var DISTRICT_SEPARATOR = "#,#,#,#"

function copy(value) {
    return value === undefined ? undefined : JSON.parse(JSON.stringify(value))
}

function isEmpty(value) {
    return value === undefined || value === null || value === ""
}

function initialValueOf(formType) {
    return Number(formType) === REQUEST ? -2 : -1
}

function isFilter(formType) {
    return formType === BOARD_FILTER || formType === SEARCH_FILTER
}

// Archived trade types are shown and chosen as their live ones.
function liveTrade(tradeType) {
    return Texts.reduceTrade(tradeType)
}

function isRequestTrade(tradeType) {
    return liveTrade(tradeType) > 4
}

function isTradeCard(card) {
    return !!card && card.property_type < 0 && card.trade_type < 0
}

function isPropertyCard(card) {
    return !!card && card.property_type < 0 && card.trade_type > 0
}

function offersToggle(card, key) {
    return !!card && (card.toggles || []).some(function (t) { return Number(t.key) === Number(key) })
}

function isSingleChoice(card, formType) {
    if (formType === BOARD_FILTER)
        return true
    return !!card && (Number(card.single_select) === 1 || isTradeCard(card) || isPropertyCard(card))
}

// One row for a few short titles (and always for the trade card); rows of 3 otherwise.
function toggleColumns(card) {
    var toggles = (card && card.toggles) || []
    if (isTradeCard(card))
        return Math.max(1, toggles.length)
    if (toggles.length > 4 || toggles.length === 0)
        return 3
    var total = 0
    for (var i = 0; i < toggles.length; ++i) {
        var len = String(toggles[i].title || "").length
        if (len > 12)
            return 3
        total += len
    }
    return total < 30 ? toggles.length : 3
}

function hasAttachments(toggle) {
    return !!toggle && (toggle.attachedToggles !== undefined || toggle.attachedInputs !== undefined)
}

// Attachment panels belong to files only: requests and filters never open them.
function showsAttachments(formType, toggle) {
    return formType === FILE && hasAttachments(toggle)
}

function attachedTogglesInRow(toggle) {
    return ((toggle && toggle.attachedToggles) || []).length <= 5
}

function attachedInputsInRow(toggle) {
    return ((toggle && toggle.attachedInputs) || []).length <= 2
}

function toggleTitle(toggle, formType, tradeType) {
    if (!toggle)
        return ""
    var onRequest = formType === REQUEST || (formType !== SETTINGS && isRequestTrade(tradeType))
    if (onRequest && !isEmpty(toggle.request_title))
        return String(toggle.request_title).replace("متقاضی ", "")
    return String(toggle.title || "")
}

function inputHint(input, formType, tradeType) {
    if (!input)
        return ""
    if (formType === REQUEST || (formType !== SETTINGS && isRequestTrade(tradeType)))
        return Texts.getHint(input, tradeType) || input.title
    if (liveTrade(tradeType) === 2)
        return Texts.getHint(input, tradeType)
    return String(input.title || "")
}

function isNumeric(inputType) {
    return Number(inputType) === 2 || Number(inputType) === 3
}

// A number leaves as a JSON number, a double, which holds 15 digits exactly.
var MAX_DIGITS = 15
var TOO_LONG = "عدد وارد شده بیش از حد مجاز است"

function isNumber(input) {
    return !!input && (input.currency === true || input.currency === 1 || isNumeric(input.input_type))
}

// The most digits a number input takes: its catalogue limit, counted in digits, and never above 15.
function digitLimit(input) {
    var limit = Number(input ? input.max_length : 0)
    return limit > 0 ? Math.min(limit, MAX_DIGITS) : MAX_DIGITS
}

function digitCount(text) {
    return Texts.fixNumbers(String(text)).replace(/[^0-9]/g, "").length
}

function tooManyDigits(text, input) {
    return isNumber(input) && digitCount(text) > digitLimit(input)
}

// An edit of a number is refused when it adds digits past the limit; one that shortens a number
// stored longer than that (the catalogue allows more) is taken, so that it can be edited down.
function refusesEdit(before, after, input) {
    return tooManyDigits(after, input) && digitCount(after) > digitCount(before)
}

function displayValue(input, value) {
    if (isEmpty(value))
        return ""
    return input && input.currency ? Texts.currency(Texts.currency_remove(value)) : String(value)
}

// What an input hands on: ASCII digits, and for a number (or currency) no thousands separators
// ("," or the Arabic "٬") and "." for the Arabic decimal point "٫". A free text such as an address
// keeps its commas.
function plainValue(text, input) {
    var plain = Texts.fixNumbers(String(text === undefined || text === null ? "" : text))
    if (input && !input.currency && !isNumeric(input.input_type))
        return plain
    return Texts.currency_remove(plain).replace(/\u066B/g, ".")
}

// An emptied input loses its key, and an emptied group goes with it.
function setInput(data, parentKey, key, value) {
    var group = data[parentKey]
    if (isEmpty(value)) {
        if (group && typeof group === "object" && !Array.isArray(group)) {
            delete group[key]
            if (Object.keys(group).length === 0)
                delete data[parentKey]
        }
        return data
    }
    if (!group || typeof group !== "object" || Array.isArray(group)) {
        group = {}
        data[parentKey] = group
    }
    group[key] = value
    return data
}

// Chosen toggle keys in the order of choosing; a single-choice group keeps one.
function setToggle(data, parentKey, key, checked, single) {
    var list = Array.isArray(data[parentKey]) ? data[parentKey] : []
    var k = Number(key)
    var at = list.indexOf(k)
    if (checked) {
        if (single)
            list = [k]
        else if (at === -1)
            list.push(k)
    } else if (at !== -1) {
        list.splice(at, 1)
    }
    if (list.length === 0)
        delete data[parentKey]
    else
        data[parentKey] = list
    return data
}

// The file's own toggle text holds each key followed by ",": 3 is not in "13,".
function fileHasToggle(file, parentKey, key) {
    if (!file)
        return false
    var text = file[parentKey]
    if (Array.isArray(text))
        return text.map(Number).indexOf(Number(key)) !== -1
    if (typeof text !== "string")
        return false
    return ("," + text).indexOf("," + key + ",") !== -1
}

// The file's contact details: its customer, its guard and its exact address.
function isContactInput(input) {
    if (!input)
        return false
    return input.parent_key === "customer" || input.parent_key === "guard"
            || (input.parent_key === "info" && input.key === "address")
}

function fileInputValue(file, input) {
    if (!file || !input)
        return ""
    if (input.parent_key === "district" && input.key === "title") {
        var d = file.district
        return Array.isArray(d) && d.length > 0 && d[0] ? String(d[0].title || "") : ""
    }
    if (input.parent_key === "guard") {
        var guard = file._guard
        if (!guard)
            return ""
        var g = guard[input.key]
        return isEmpty(g) ? "" : String(g)
    }
    if (input.parent_key === "customer") {
        var c = file.customer ? file.customer[input.key] : undefined
        return isEmpty(c) ? "" : String(c)
    }
    var group = file[input.parent_key]
    if (!group || typeof group !== "object")
        return ""
    var v = group[input.key]
    if (isEmpty(v) || v === 0 || v === false)
        return ""
    return String(v)
}

function stepperValue(file, input) {
    var v = Number(fileInputValue(file, input))
    return v > 0 ? Math.floor(v) : 0
}

// The size of a sale file: the building for flats, offices, shops and blocks, the land otherwise.
function sizeKey(propertyType) {
    return [50, 54, 55, 56].indexOf(Number(propertyType)) !== -1 ? "home" : "area"
}

// The full price of a sale file, or null when it should stay as it is.
function fullPrice(tradeType, propertyType, data) {
    if (Number(tradeType) !== 1)
        return null
    var meter = data.meter || {}
    var price = data.price || {}
    var perMeter = Number(plainValue(price.price_1))
    var size = Number(plainValue(meter[sizeKey(propertyType)]))
    var full = Math.round(perMeter * size)
    if (!(perMeter > 0) || !(size > 0) || full >= Math.pow(10, MAX_DIGITS))
        return null
    return full
}

// Completion entries for an input: by title, or a contact by name or mobile.
// What an input offers while typing: districts for the district input, the phone book for the
// customer's name and mobile.
function completionSource(input, districts, contacts) {
    if (!input)
        return []
    if (input.parent_key === "district")
        return districts || []
    if (input.parent_key === "customer" && (input.key === "name_family" || input.key === "mobile_1"))
        return contacts || []
    return []
}

// The text a chosen entry puts into the input: a title, else the entry's own value of the input's key.
function completionText(entry, input) {
    if (entry.title !== undefined)
        return String(entry.title)
    var v = input ? entry[input.key] : undefined
    return String(v !== undefined && v !== null ? v : (entry.mobile_1 !== undefined ? entry.mobile_1 : ""))
}

function completions(list, text) {
    var t = String(text || "")
    if (t === "")
        return []
    return (list || []).filter(function (e) {
        return [e.title, e.name_family, e.mobile_1].some(function (v) {
            return !isEmpty(v) && Texts.textHas(v, t)
        })
    })
}

// Filter items of the search and board filter forms.
function filterKeyOf(input) {
    return input.parent_key === "date" ? "date" : input.parent_key + "." + input.key
}

function findFilter(filters, key) {
    for (var i = 0; i < filters.length; ++i)
        if (filters[i] && filters[i].key === key)
            return i
    return -1
}

function setFilterRange(filters, key, which, value) {
    var at = findFilter(filters, key)
    var item = at === -1 ? {"key": key, "value": {"value_1": "", "value_2": ""}} : filters[at]
    item.value[which === 2 ? "value_2" : "value_1"] = isEmpty(value) ? "" : value
    var empty = isEmpty(item.value.value_1) && isEmpty(item.value.value_2)
    if (at === -1 && !empty)
        filters.push(item)
    else if (at !== -1 && empty)
        filters.splice(at, 1)
    return filters
}

function setFilterToggle(filters, parentKey, key, checked, single) {
    var k = String(key)
    for (var i = filters.length - 1; i >= 0; --i) {
        var f = filters[i]
        if (f.key !== parentKey)
            continue
        if (String(f.value.value_1) === k || (single && checked))
            filters.splice(i, 1)
    }
    if (checked)
        filters.push({"key": parentKey, "value": {"value_1": k, "value_2": ""}})
    return filters
}

function setFilterDistricts(filters, districts) {
    var at = findFilter(filters, "district_array")
    if (at !== -1)
        filters.splice(at, 1)
    var ids = (districts || []).map(function (d) { return d._id })
    if (ids.length > 0)
        filters.push({"key": "district_array",
                      "value": {"value_1": DISTRICT_SEPARATOR + ids.join(DISTRICT_SEPARATOR), "value_2": ""}})
    return filters
}

function filterValue(filters, parentKey, key, isToggle) {
    for (var i = 0; i < (filters || []).length; ++i) {
        var f = filters[i]
        if (!f || !f.value)
            continue
        if (isToggle) {
            if (f.key === parentKey && String(f.value.value_1) === String(key))
                return f
        } else if (f.key === (parentKey === "date" ? "date" : parentKey + "." + key)) {
            return f
        }
    }
    return null
}

// The cards of the search form: the date range, the first card's filter inputs, then toggles.
function searchCards(cards, hashtags) {
    var out = []
    var first = cards && cards.length > 0 ? cards[0] : {"inputs": []}
    var inputs = [{"id": -1, "title": "تاریخ", "request_title": "تاریخ", "key": "register", "parent_key": "date",
                   "input_type": 2, "filter_type": 2, "max_length": 10, "currency": false, "filter": true}]
    ;(first.inputs || []).forEach(function (i) {
        if (i.filter && i.parent_key !== "district")
            inputs.push(i)
    })
    out.push({"id": first.id, "title": "", "inputs": inputs, "toggles": [], "single_select": 0,
              "trade_type": first.trade_type, "property_type": first.property_type, "districts": true})
    for (var c = 1; c < (cards || []).length; ++c) {
        var card = cards[c]
        if ((card.toggles || []).length > 0)
            out.push({"id": card.id, "title": card.title, "inputs": [], "toggles": card.toggles,
                      "single_select": card.single_select, "trade_type": card.trade_type,
                      "property_type": card.property_type})
    }
    var tags = (hashtags || []).map(function (h) {
        return {"id": h.id, "key": h._id, "title": h.title, "request_title": h.title, "parent_key": "hashtag_ref"}
    })
    if (tags.length > 0)
        out.push({"id": -2, "title": "برچسب ها", "inputs": [], "toggles": tags, "single_select": 0,
                  "trade_type": 0, "property_type": 0})
    return out
}

// The settings form shows a card while one of its toggle titles holds the search text.
function settingsCardsMatching(cards, text) {
    var t = String(text || "")
    return (cards || []).filter(function (card) {
        return t === "" || (card.toggles || []).some(function (tg) {
            return Texts.textHas(tg.title, t)
        })
    })
}

function setInvisible(list, toggle, checked) {
    var out = (list || []).filter(function (t) { return Number(t.key) !== Number(toggle.key) })
    if (checked)
        out.push({"key": toggle.key, "parent_key": toggle.parent_key, "title": toggle.title, "id": toggle.id})
    return out
}

function isInvisible(list, toggle) {
    return (list || []).some(function (t) { return Number(t.key) === Number(toggle.key) })
}

// Cards without their hidden toggles; a card left with nothing to show goes.
function withoutInvisible(cards, invisible) {
    if (!invisible || invisible.length === 0)
        return cards
    var out = []
    cards.forEach(function (card) {
        if (isTradeCard(card) || isPropertyCard(card) || !card.toggles || card.toggles.length === 0) {
            out.push(card)
            return
        }
        var c = copy(card)
        c.toggles = c.toggles.filter(function (t) { return !isInvisible(invisible, t) })
        if (c.toggles.length > 0 || (c.inputs || []).length > 0 || c.stepper)
            out.push(c)
    })
    return out
}

// The districts a chooser reports as dropped and added.
function districtChanges(before, after) {
    var ids = function (l) { return (l || []).map(function (d) { return d._id }) }
    var b = ids(before), a = ids(after)
    return {
        "removed": (before || []).filter(function (d) { return a.indexOf(d._id) === -1 }),
        "added": (after || []).filter(function (d) { return b.indexOf(d._id) === -1 })
    }
}

function applyDistrictChanges(selected, changes) {
    var removedIds = changes.removed.map(function (d) { return d._id })
    var out = (selected || []).filter(function (d) { return removedIds.indexOf(d._id) === -1 })
    changes.added.forEach(function (d) {
        if (!out.some(function (s) { return s._id === d._id }))
            out.push(d)
    })
    return out
}

var monthNames = ["فروردین", "اردیبهشت", "خرداد", "تیر", "مرداد", "شهریور", "مهر", "آبان", "آذر", "دی",
                  "بهمن", "اسفند"]

function daysInJalaliMonth(month, leap) {
    if (month <= 6)
        return 31
    if (month <= 11)
        return 30
    return leap ? 30 : 29
}
