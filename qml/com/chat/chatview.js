.pragma library

var DAY = 86400000
var emptyMessage = "متن پیام ارسالی نباید خالی باشد"

var TEXT = 1, VOICE = 2, IMAGE = 3, VIDEO = 4

// A chat message carries its time as "create", a file activity as "date".
function timeOf(m) {
    var t = m.create !== undefined ? m.create : m.date
    return Number(t) || 0
}

function two(n) {
    return n < 10 ? "0" + n : String(n)
}

function userRefOf(m) {
    var u = m.user_ref
    return u && typeof u === "object" ? u._id : u
}

// The messages for display, newest first, each with its author and the flags of what shows:
// mine (the current account wrote it), showAvatar (the newer neighbour has another author),
// showDate (the older neighbour lies more than a day before it, or there is none).
// lookup(id) gives a user for an id; jdate(ms) the date line's text.
function decorate(list, me, lookup, jdate, channel) {
    var sorted = list.slice().sort(function (a, b) { return timeOf(b) - timeOf(a) })
    var users = {}
    var out = []
    for (var i = 0; i < sorted.length; ++i) {
        var m = {}
        for (var k in sorted[i])
            m[k] = sorted[i][k]
        var ref = userRefOf(m)
        m.mine = channel === true || (me && ref !== undefined && String(ref) === String(me._id))
        if (m.mine) {
            m.user = me
        } else {
            if (users[ref] === undefined)
                users[ref] = lookup ? lookup(ref) || {} : {}
            m.user = users[ref]
        }
        m.author = m.mine ? String(me ? me._id : "") : String(ref)
        m._text = m.message === undefined || m.message === null ? "" : String(m.message)
        var d = new Date(timeOf(m))
        m.date_string = two(d.getHours()) + ":" + two(d.getMinutes())
        m.jdate = jdate ? jdate(timeOf(m)) : ""
        var links = m.media_links || []
        if (Number(m.type) > TEXT && links.length > 0) {
            m.path = String(links[0])
            if (Number(m.type) === VIDEO) {
                var dot = m.path.lastIndexOf(".")
                m.thumb = (dot === -1 ? m.path : m.path.substring(0, dot)) + ".jpg"
            }
        }
        out.push(m)
    }
    for (var j = 0; j < out.length; ++j) {
        out[j].showAvatar = j === 0 || out[j - 1].author !== out[j].author
        out[j].showDate = j === out.length - 1 || timeOf(out[j]) - timeOf(out[j + 1]) > DAY
    }
    return out
}

// A message written in the view, or {error} when there is nothing to send.
function newMessage(text, type, userId, agentId) {
    var t = String(text === undefined || text === null ? "" : text).trim()
    if (t === "")
        return {"error": emptyMessage}
    return {"message": t, "type": type === undefined ? TEXT : type, "user_id": userId, "agent_id": agentId}
}

// The raw messages without the display additions, for handing back to the hosting screen.
function plain(m) {
    var keys = ["mine", "user", "author", "_text", "date_string", "jdate", "showAvatar", "showDate", "path", "thumb"]
    var c = {}
    for (var k in m)
        if (keys.indexOf(k) === -1)
            c[k] = m[k]
    return c
}
