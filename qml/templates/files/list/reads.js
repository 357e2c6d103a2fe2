.pragma library
// File list reads of every open screen go out one at a time: the store answers them all through
// one signal, in the order they finish, so only a single outstanding read can be told apart.

var database = null
var queue = []        // {owner, start: function, done: function(list)}
var inFlight = null
var sentAt = 0
// A read the store never answered (a failed pool task emits nothing) stops blocking the others.
var staleMs = 10000

function attach(db) {
    if (database === db)
        return
    database = db
    db.fileListReady.connect(answered)
}

function answered(list) {
    var head = inFlight
    inFlight = null
    if (head && head.done)
        head.done(list)
    next()
}

function next() {
    if (inFlight && Date.now() - sentAt < staleMs)
        return
    inFlight = null
    while (queue.length > 0) {
        var r = queue.shift()
        if (!r.done)
            continue
        inFlight = r
        sentAt = Date.now()
        try {
            r.start()
        } catch (e) {
            inFlight = null
            console.warn("file list read failed: " + e)
            continue
        }
        return
    }
}

// Queues one read; start() issues the store call, done(list) takes its answer.
function read(owner, start, done) {
    queue.push({"owner": owner, "start": start, "done": done})
    next()
}

// A reloaded or closed screen drops the answers it still waits for.
function cancel(owner) {
    for (var i = 0; i < queue.length; ++i)
        if (queue[i].owner === owner)
            queue[i].done = null
    if (inFlight && inFlight.owner === owner)
        inFlight.done = null
}

function pending(owner) {
    if (inFlight && inFlight.owner === owner && inFlight.done)
        return true
    for (var i = 0; i < queue.length; ++i)
        if (queue[i].owner === owner && queue[i].done)
            return true
    return false
}
