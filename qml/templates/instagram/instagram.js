.pragma library
.import "qrc:/assets/texts.js" as Texts
// The post-image builder's decisions, free of the engine so tests reach them: the patterns, the
// picture's size, the rows, the price labels, the check options and the file name.

var SQUARE = 1

var patternTitles = {1: "طرح یک (1:1)", 2: "طرح دو (4:5)", 3: "طرح سه (4:5)", 4: "طرح چهار (4:5)"}

var colours = ["pink", "purple", "blue", "teal", "light_green", "deep_orange", "blue_gray"]

function patterns() {
    return [2, 1, 3, 4].map(function (t) {
        return {"pattern_image": "qrc:/assets/images/img_pattern_" + t + ".png",
                "pattern_title": patternTitles[t], "pattern_type": t}
    })
}

function title(type) {
    return "قالب " + type
}

// The saved picture in pixels: square for pattern 1, 4:5 for the others.
function size(type) {
    return {"width": 1080, "height": Number(type) === SQUARE ? 1080 : 1350}
}

function heightFor(type, width) {
    return Number(type) === SQUARE ? width : width * 5 / 4
}

function tradeGroup(trade) {
    var t = Number(trade)
    if ([2, 6, 10, 14].indexOf(t) !== -1)
        return 1
    if ([3, 7, 11, 15].indexOf(t) !== -1)
        return 2
    return 0
}

function priceLabels(trade) {
    var g = tradeGroup(trade)
    return {"first": ["متری", "رهن", "بلاعوض"][g], "second": ["کل", "اجاره", "قرض الحسنه"][g]}
}

// The two price lines, amounts grouped as the program writes money.
function prices(file) {
    var f = file || {}
    var p = f.price || {}
    var labels = priceLabels(f.trade_ref)
    var out = []
    if (Number(p.price_1) > 0)
        out.push(labels.first + ": " + Texts.currency(p.price_1))
    if (Number(p.price_2) > 0)
        out.push(labels.second + ": " + Texts.currency(p.price_2))
    return out
}

function present(v) {
    return v !== undefined && v !== null && String(v) !== "" && String(v) !== "0"
}

// The option rows: district, trade and property, then further field values.
function rows(file) {
    var f = file || {}
    var d = Array.isArray(f.district) && f.district.length > 0 ? f.district[0] : null
    var meter = f.meter || {}
    var info = f.info || {}
    var trade = f.trade_name || Texts.getTradeName(f.trade_ref) || ""
    var property = f.property_name || Texts.getPropertyName(f.property_ref) || ""
    var out = [d && d.title ? String(d.title) : "", (trade + " " + property).trim()]
    var extra = []
    if (present(meter.home))
        extra.push("متراژ بنا: " + meter.home + " متر")
    else if (present(meter.area))
        extra.push("متراژ زمین: " + meter.area + " متر")
    if (present(info.room))
        extra.push("تعداد اتاق: " + info.room)
    if (present(info.floor))
        extra.push("طبقه: " + info.floor)
    return out.concat(extra)
}

function hasImages(file) {
    return !!(file && Array.isArray(file.media_links) && file.media_links.length > 0)
}

function firstImage(file) {
    if (!hasImages(file))
        return ""
    var l = file.media_links[0]
    return l && typeof l === "object" ? String(l.path || "") : String(l || "")
}

// The check options of a pattern: {id, title, checked, enabled}.
function checkOptions(type, file) {
    var square = Number(type) === SQUARE
    var images = hasImages(file)
    return [
        {"id": 1, "title": square ? "ردیف سوم" : "فیلد اضافی", "checked": true, "enabled": true},
        {"id": 2, "title": square ? "ردیف چهارم" : "متن دلخواه", "checked": square, "enabled": true},
        {"id": 3, "title": square ? "متن دلخواه" : "لایه تاریک", "checked": !square, "enabled": true},
        {"id": 4, "title": "تصاویر فایل", "checked": images, "enabled": images},
        {"id": 5, "title": "قیمت", "checked": true, "enabled": true},
        {"id": 6, "title": "کد فایل", "checked": true, "enabled": true}
    ]
}

// What the picture shows for the ticked options (a map of id to bool).
function shows(type, checked) {
    var square = Number(type) === SQUARE
    var on = function (id) { return checked[id] === true }
    return {"row3": on(1), "row4": square ? on(2) : on(1), "customText": square ? on(3) : on(2),
            "dark": !square && on(3), "images": on(4), "price": on(5), "code": on(6)}
}

function fileName(dir, nowMs) {
    var d = String(dir)
    if (d !== "" && d.charAt(d.length - 1) !== "/")
        d += "/"
    return d + "instagram_" + nowMs + ".jpg"
}

function codeText(file) {
    return "کد: " + (file && file.code ? file.code.auto : "")
}
