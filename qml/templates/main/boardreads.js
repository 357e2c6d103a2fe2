.pragma library
// Board reads answered by a shared signal. `TavorlinListReady` answers three different reads and
// `tavorlinCountsReady` every count, with nothing to tell the answers apart, so the reads of each
// signal go one at a time: the answer belongs to the read in flight. A read its screen replaced or
// left is still answered, and the answer dropped.

// A task that fails answers nothing; after this long the read in flight is given up.
var lostAfterMs = 10000

var queues = []

function queueOf(database) {
    for (var i = 0; i < queues.length; ++i) {
        if (queues[i].database === database)
            return queues[i]
    }
    var q = {"database": database, "lists": {"waiting": [], "flight": null}, "counts": {"waiting": [], "flight": null}}
    database.TavorlinListReady.connect(function (list) { answer(q.lists, list) })
    database.tavorlinCountsReady.connect(function (data) { answer(q.counts, data) })
    queues.push(q)
    return q
}

function answer(line, data) {
    var read = line.flight
    line.flight = null
    if (read && !read.cancelled) {
        try {
            read.callback(data)
        } catch (e) {
            console.log("board read: " + e)
        }
    }
    next(line)
}

function next(line) {
    if (line.flight !== null) {
        if (Date.now() - line.flight.sentAt < lostAfterMs)
            return
        line.flight = null
    }
    while (line.waiting.length > 0) {
        var read = line.waiting.shift()
        if (read.cancelled)
            continue
        line.flight = read
        read.sentAt = Date.now()
        try {
            read.start()
        } catch (e) {
            console.log("board read: " + e)
            line.flight = null
            continue
        }
        return
    }
}

function enqueue(line, start, callback) {
    var read = {"start": start, "callback": callback, "cancelled": false, "sentAt": 0}
    line.waiting.push(read)
    next(line)
    return read
}

// The boards of a shelf, every board with its membership of a shelf, or the boards the server knows.
function shelfBoards(database, shelfId, agentId, callback) {
    var q = queueOf(database)
    return enqueue(q.lists, function () {
        if (agentId)
            database.getShelvesTavorlins(shelfId, agentId)
        else
            database.getShelvesTavorlins(shelfId)
    }, callback)
}

function allBoards(database, shelfId, callback) {
    var q = queueOf(database)
    return enqueue(q.lists, function () { database.getAllTavorlins(shelfId) }, callback)
}

function existingBoards(database, callback) {
    var q = queueOf(database)
    return enqueue(q.lists, function () { database.getTavorlinsExist() }, callback)
}

function counts(database, boards, callback) {
    var q = queueOf(database)
    return enqueue(q.counts, function () { database.getTavorlinsCount(boards) }, callback)
}

function cancel(read) {
    if (read)
        read.cancelled = true
}
