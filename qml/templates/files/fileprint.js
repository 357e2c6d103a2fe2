.pragma library
.import "../../assets/texts.js" as Texts
.import "file.js" as FileJs

// What the printed file card shows, from the file and its form.

var header = "پیش نمایش"
var tradeLabel = "نوع معامله"
var propertyLabel = "نوع ملک"
var hashtagsTitle = "برچسب ها"

// Archived trades use the form and titles of their live trade.
function formTrade(tradeRef) {
    var t = Number(tradeRef)
    return t > 8 ? t - 8 : t
}

// Fields the card does not list: the code, the districts (on the address line), the customer,
// the guard and the address itself.
function hidden(input) {
    var group = input.parent_key
    return group === "code" || group === "district" || group === "customer" || group === "guard" ||
        input.key === "address"
}

// A number nobody entered is stored as 0 and reads as empty, as the form shows it; a 0 typed in
// cannot be told from it.
function valueOf(file, input) {
    var group = file ? file[input.parent_key] : undefined
    if (group === undefined || group === null || typeof group !== "object")
        return ""
    var v = group[input.key]
    if (v === undefined || v === null || v === "" || v === 0 || v === false)
        return ""
    return input.currency ? Texts.currency(v) : String(v)
}

// The first card's inputs the card and the detail list, each {title, value}.
function shownInputs(file, cards, tradeRef) {
    if (!cards || cards.length === 0 || !cards[0].inputs)
        return []
    var trade = formTrade(tradeRef)
    return cards[0].inputs.filter(function (input) { return !hidden(input) }).map(function (input) {
        return {"title": Texts.getHint(input, trade), "value": valueOf(file, input)}
    })
}

// The first card's inputs as rows of two {title, value} cells, empty values too; a last single
// cell gets an empty partner.
function inputRows(file, cards, tradeRef) {
    var rows = []
    var cells = shownInputs(file, cards, tradeRef)
    for (var j = 0; j < cells.length; j += 2)
        rows.push([cells[j], j + 1 < cells.length ? cells[j + 1] : {"title": "", "value": ""}])
    return rows
}

function text(v) {
    return v === undefined || v === null ? "" : String(v)
}

// The detail's label and value pairs {k, v}: the codes, kinds, the first card's inputs that hold a
// value, districts and date, the feature boxes and hashtags, the address and the customer where the
// account may see them, and the description.
function detailFacts(file, cards, dateText, canSeeAddress) {
    var f = file
    var info = f.info || {}
    var list = [
        {"k": "کد فایل", "v": f.code ? text(f.code.auto) + (f.code.manual ? " / " + f.code.manual : "") : ""},
        {"k": "نوع معامله", "v": text(f.trade_name || Texts.getTradeName(f.trade_ref))},
        {"k": "نوع ملک", "v": text(f.property_name || Texts.getPropertyName(f.property_ref))}
    ]
    shownInputs(f, cards, f.trade_ref).forEach(function (cell) {
        if (cell.value !== "")
            list.push({"k": cell.title, "v": cell.value})
    })
    list.push({"k": "منطقه", "v": (f.district || []).map(function (d) { return d.title }).join("، ")})
    list.push({"k": "تاریخ ثبت", "v": dateText})
    boxes(f, cards, f.trade_ref).forEach(function (box) {
        list.push({"k": box.title, "v": box.items.join("، ")})
    })
    var tags = hashtags(f)
    if (tags.length > 0)
        list.push({"k": hashtagsTitle, "v": tags.map(function (t) { return "#" + t }).join("  ")})
    if (canSeeAddress) {
        var c = f.customer || {}
        list.push({"k": "آدرس", "v": text(info.address)})
        list.push({"k": FileJs.customerRole(f.trade_ref), "v": text(c.name_family)})
        list.push({"k": "شماره تماس", "v": text(c.mobile_1)})
    }
    list.push({"k": "توضیحات", "v": text(info.desc)})
    return list
}

function addressLine(file, canSeeAddress) {
    var parts = []
    var districts = file && file.district ? file.district : []
    for (var i = 0; i < districts.length; ++i)
        if (districts[i] && districts[i].title)
            parts.push(String(districts[i].title))
    var address = file && file.info ? file.info.address : ""
    if (canSeeAddress && address !== undefined && address !== null && String(address) !== "")
        parts.push(String(address))
    return parts.join(" - ")
}

// Each later card as {title, items}: its set toggles and a stepper above 0; empty ones are left out.
function boxes(file, cards, tradeRef) {
    var out = []
    if (!cards)
        return out
    var trade = formTrade(tradeRef)
    for (var i = 1; i < cards.length; ++i) {
        var card = cards[i]
        var items = []
        var toggles = card.toggles || []
        for (var k = 0; k < toggles.length; ++k) {
            var t = toggles[k]
            if (file && Texts.hasToggle(file[t.parent_key], t.key))
                items.push(trade <= 4 ? t.title : t.request_title)
        }
        if (card.stepper) {
            var group = file ? file[card.stepper.parent_key] : undefined
            var steps = group && typeof group === "object" ? Number(group[card.stepper.key]) : 0
            if (steps > 0)
                items.push(card.stepper.title + " " + steps)
        }
        if (items.length > 0)
            out.push({"title": card.title, "items": items})
    }
    return out
}

function hashtags(file) {
    var out = []
    var list = file && file.hashtag ? file.hashtag : []
    for (var i = 0; i < list.length; ++i)
        if (list[i] && list[i].title)
            out.push(String(list[i].title))
    return out
}

function description(file) {
    var desc = file && file.info ? file.info.desc : ""
    return desc === undefined || desc === null ? "" : String(desc)
}

// The request that marks an unseen file seen, or null when it was seen.
function seenRequest(file, accountId) {
    if (!file || Number(file.seen) >= 1)
        return null
    return {"user_id": accountId, "code": [file.code ? file.code.auto : 0]}
}
