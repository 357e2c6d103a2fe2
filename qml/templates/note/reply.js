.pragma library

// What the server said about a reply, as plain text; a reply may carry its message as text or
// as {msg}.
function messageOf(reply, fallback) {
    var m = reply ? reply.message : null
    if (typeof m === "string" && m !== "")
        return m
    if (m && m.msg !== undefined && m.msg !== null && String(m.msg) !== "")
        return String(m.msg)
    return fallback || "خطایی در انجام عملیات رخ داده است."
}

// The reply's result, or null when the server gave none.
function resultOf(reply) {
    var c = reply ? reply.content : null
    if (!c || c.result === undefined || c.result === null)
        return null
    return c.result
}

// The reply's stamp as a write date; -1 (no stamp) when absent.
function stampOf(reply) {
    var t = reply ? Number(reply.timestamp) : NaN
    return isFinite(t) && t > 0 ? t : -1
}

// Mutually exclusive list requests over one shared answer signal: only one is in flight at a
// time, so an answer always belongs to the request before it; a request made meanwhile waits
// and replaces any other waiting one.
// A read that failed in the store never answers; after `patience` ms the next request goes
// out anyway.
function Requester(start, patience) {
    this.start = start
    this.patience = patience === undefined ? 5000 : patience
    this.inFlight = null
    this.waiting = null
    this.startedAt = 0
}

Requester.prototype.request = function (args, now) {
    var time = now === undefined ? Date.now() : now
    if (this.inFlight && time - this.startedAt <= this.patience) {
        this.waiting = args
        return false
    }
    this.inFlight = args
    this.waiting = null
    this.startedAt = time
    this.start(args)
    return true
}

// The request an answer belongs to, or null when it is stale (a newer one replaced it) or
// nothing was asked.
Requester.prototype.answer = function () {
    var asked = this.inFlight
    this.inFlight = null
    if (this.waiting) {
        var next = this.waiting
        this.waiting = null
        this.request(next)
        return null
    }
    return asked
}
