.pragma library
// The map screens' decisions: map settings, the place search request and its titles, the
// search box around the centre, and the file query of the visible region.

var earthRadius = 6371009
var noResult = "نتیجه ای یافت نشد"
var offlineNotice = "ارتباط برقرار نیست؛ نقشه و فایلهای آن در حالت آفلاین به روز نمی شوند."
var failedNotice = "نقشه بارگذاری نشد"

// What the map says over itself: offline first, then the map service's own failure; "" when fine.
function notice(online, pluginMade, failed, reason) {
    if (!online)
        return offlineNotice
    if (!pluginMade || failed)
        return reason ? failedNotice + ": " + reason : failedNotice
    return ""
}

var defaults = {
    "map_plugin": "osm",
    "map_tile_host": "https://tile.openstreetmap.org/",
    "geocode_host": "https://nominatim.openstreetmap.org/"
}

// The map's settings from the UI settings object; keys it lacks take the public services.
function settings(appData) {
    var s = {}
    for (var k in defaults)
        s[k] = appData && appData[k] !== undefined && appData[k] !== null ? String(appData[k]) : defaults[k]
    return s
}

// Null when no geocoding address is set: nothing is asked then.
function geocodeUrl(host, term) {
    if (!host)
        return null
    var base = host.charAt(host.length - 1) === "/" ? host : host + "/"
    return base + "search.php?format=json&accept-language=fa&" + "addressdetails=1&limit=5&q="
            + encodeURIComponent(term)
}

var geocodeHeaders = [["Content-Type", "application/x-www-form-urlencoded"], ["Connection", "Close"]]

function present(a, key) {
    return a[key] !== undefined && a[key] !== null && String(a[key]) !== ""
}

// "district" (or in turn "suburb", "quarter", "neighbourhood" where present), then " - " and the
// first of "village", "hamlet", "road".
function placeTitle(address) {
    var a = address || {}
    var title = present(a, "district") ? String(a.district) : ""
    var areas = ["suburb", "quarter", "neighbourhood"]
    for (var i = 0; i < areas.length; ++i)
        if (present(a, areas[i]))
            title = String(a[areas[i]])
    var places = ["village", "hamlet", "road"]
    for (var j = 0; j < places.length; ++j) {
        if (present(a, places[j])) {
            title += " - " + String(a[places[j]])
            break
        }
    }
    return title
}

// The places of a geocoding answer, or null for "no result".
function places(status, text) {
    if (status !== 200)
        return null
    var list
    try {
        list = JSON.parse(text)
    } catch (e) {
        return null
    }
    if (!Array.isArray(list) || list.length === 0)
        return null
    return list.map(function (p) {
        return {"title": placeTitle(p.address), "lat": Number(p.lat), "lon": Number(p.lon)}
    })
}

function rad(d) { return d * Math.PI / 180 }
function deg(r) { return r * 180 / Math.PI }

// The point at this distance and heading from a point, on the sphere.
function destination(lat, lng, distance, heading) {
    var d = distance / earthRadius
    var p1 = rad(lat)
    var t = rad(heading)
    var p2 = Math.asin(Math.sin(p1) * Math.cos(d) + Math.cos(p1) * Math.sin(d) * Math.cos(t))
    var l2 = rad(lng) + Math.atan2(Math.sin(t) * Math.sin(d) * Math.cos(p1), Math.cos(d) - Math.sin(p1) * Math.sin(p2))
    return {"lat": deg(p2), "lng": deg(l2)}
}

// The search box: the points at the distance at headings 0, 90, 180 and 270.
function searchBox(lat, lng, distance) {
    var n = destination(lat, lng, distance, 0)
    var e = destination(lat, lng, distance, 90)
    var s = destination(lat, lng, distance, 180)
    var w = destination(lat, lng, distance, 270)
    return {"south": s.lat, "north": n.lat, "west": w.lng, "east": e.lng}
}

// The files inside a box: latitude south to north, longitude west to east; without a chosen
// trade type the active offers and requests 1 to 4 only.
function mapFilters(filters, box, tradeType) {
    var list = JSON.parse(JSON.stringify(filters || []))
    list.push({"key": "map.lat", "value": {"value_1": String(box.south), "value_2": String(box.north)}})
    list.push({"key": "map.lng", "value": {"value_1": String(box.west), "value_2": String(box.east)}})
    if (!(Number(tradeType) > 0))
        list.push({"key": "trade_ref", "value": {"value_1": "1", "value_2": "4"}})
    return list
}

function mercator(lat) {
    return Math.log(Math.tan(Math.PI / 4 + rad(lat) / 2))
}

// Marker points by folded trade type, one colour each.
function markerGroups(files) {
    var groups = {}
    for (var i = 0; i < files.length; ++i) {
        var f = files[i]
        if (!f.map)
            continue
        var t = Number(f.trade_ref)
        t = t > 8 ? t - 8 : t
        if (!groups[t])
            groups[t] = []
        groups[t].push({"lat": Number(f.map.lat), "lng": Number(f.map.lng)})
    }
    return groups
}
