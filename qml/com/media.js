.pragma library
// Decisions of the media components, kept free of the engine so tests reach them: the picker's
// limit, walk and removal, sizes in words, the crop mapping and the share pages.

var LIMIT = 50
var limitMessage = "بیشتر از 50 عکس نمی توانید انتخاب کنید"
var pickerFilter = "*.jpg *.png *.jpeg *.mp4"

// The paths that fit beside `count` listed items, and whether some were left over.
function addable(count, paths) {
    var list = (paths || []).map(function (p) { return String(p) }).filter(function (p) { return p !== "" })
    var room = Math.max(0, LIMIT - count)
    return {"add": list.slice(0, room), "toast": list.length > room}
}

// A picked path as an image source.
function asUrl(path) {
    var p = String(path)
    if (p.indexOf("file:") === 0 || p.indexOf("http") === 0 || p.indexOf("qrc:") === 0)
        return p
    return (p.charAt(0) === "/" ? "file://" : "file:///") + p
}

// Index of the first item the walk still has to upload, or -1.
function nextToUpload(items) {
    for (var i = 0; i < items.length; ++i)
        if (items[i].uploaded !== true)
            return i
    return -1
}

// A stored image (already linked to the file) is removed on the server; fresh uploads under
// "temp" and items never uploaded only leave the list.
function needsServerRemoval(item) {
    return item.uploaded === true && String(item.server_path || "") !== ""
            && String(item.server_path).indexOf("temp") === -1
}

function removalContent(userId, agentId, file, link) {
    var f = file || {}
    var owner = f.user_ref && typeof f.user_ref === "object" ? f.user_ref._id : (f.user_id || f.user_ref || "")
    return {"user_id": userId, "agent_id": agentId,
            "property": {"user_id": owner || "", "file_id": f._id || "", "property_id": f.property_ref || ""},
            "media_link": link}
}

// The stored links of a file as picker items.
function storedItems(file) {
    var links = file && Array.isArray(file.media_links) ? file.media_links : []
    var out = []
    for (var i = 0; i < links.length; ++i) {
        var l = links[i]
        var path = l && typeof l === "object" ? String(l.path || "") : String(l || "")
        if (path !== "")
            out.push({"imageSource": path, "uploaded": true, "server_path": path})
    }
    return out
}

function isVideo(path) {
    return /\.mp4$/i.test(String(path))
}

// Bytes in words: b below 1024, then Kb, Mb, Gb with one decimal.
function getVolume(bytes) {
    var b = Number(bytes) || 0
    if (b < 1024)
        return b + " b"
    if (b <= 1048576)
        return (b / 1024).toFixed(1) + " Kb"
    if (b <= 1073741824)
        return (b / 1048576).toFixed(1) + " Mb"
    return (b / 1073741824).toFixed(1) + " Gb"
}

function two(n) {
    n = Math.max(0, Math.floor(n))
    return n < 10 ? "0" + n : String(n)
}

// Remaining play time as MM:SS.
function remaining(durationMs, positionMs) {
    var s = Math.max(0, Math.floor((Number(durationMs) - Number(positionMs)) / 1000))
    return two(Math.floor(s / 60)) + ":" + two(s % 60)
}

function fileUrl(path, windows) {
    return (windows ? "file:///" : "file://") + path
}

// The shown size of an image of w × h at a dialog `width` wide, with the scale that maps shown
// pixels back to the image's.
function fitted(w, h, width) {
    w = Number(w) || 0
    h = Number(h) || 0
    if (w <= 0 || h <= 0 || width <= 0)
        return {"width": 0, "height": 0, "scale": 1}
    if (w >= h)
        return {"width": width, "height": h * width / w, "scale": w / width}
    var scale = h / width
    return {"width": w / scale, "height": width, "scale": scale}
}

// The crop rectangle drawn on the picture as shown (shownW × shownH, unturned), mapped into the
// picture turned clockwise by `rotation`, where the native crop cuts it. A quarter turn swaps
// the rectangle's sides too, or a tall cut would come out wide.
function mapCrop(rect, rotation, shownW, shownH) {
    var r = ((Number(rotation) % 360) + 360) % 360
    if (r === 90)
        return {"x": shownH - (rect.y + rect.height), "y": rect.x, "width": rect.height, "height": rect.width}
    if (r === 180)
        return {"x": shownW - (rect.x + rect.width), "y": shownH - (rect.y + rect.height),
                "width": rect.width, "height": rect.height}
    if (r === 270)
        return {"x": rect.y, "y": shownW - (rect.x + rect.width), "width": rect.height, "height": rect.width}
    return {"x": rect.x, "y": rect.y, "width": rect.width, "height": rect.height}
}

function telegramShare(url) {
    return "https://t.me/share/url?url=" + encodeURIComponent(url)
}

function whatsappShare(url) {
    return "https://wa.me/?text=" + encodeURIComponent(url)
}
