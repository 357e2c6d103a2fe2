.pragma library
.import "../../assets/texts.js" as Texts

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

function valueOf(file, input) {
    var group = file ? file[input.parent_key] : undefined
    if (group === undefined || group === null || typeof group !== "object")
        return ""
    var v = group[input.key]
    if (v === undefined || v === null || v === "")
        return ""
    return input.currency ? Texts.currency(v) : String(v)
}

// The first card's inputs as rows of two {title, value} cells; a last single cell gets an empty
// partner.
function inputRows(file, cards, tradeRef) {
    var rows = []
    if (!cards || cards.length === 0 || !cards[0].inputs)
        return rows
    var trade = formTrade(tradeRef)
    var cells = []
    for (var i = 0; i < cards[0].inputs.length; ++i) {
        var input = cards[0].inputs[i]
        if (hidden(input))
            continue
        cells.push({"title": Texts.getHint(input, trade), "value": valueOf(file, input)})
    }
    for (var j = 0; j < cells.length; j += 2)
        rows.push([cells[j], j + 1 < cells.length ? cells[j + 1] : {"title": "", "value": ""}])
    return rows
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
