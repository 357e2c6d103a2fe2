import QtQuick 2.15

// The server link as the synchronisation sees it: requests are recorded as they would leave,
// replies are played to the handler registered for them, and the link can drop and come back.
QtObject {
    property bool connected: true
    property int platform: 64
    property var handlers: ({})
    // {name, content, payload} as JSON would carry them (undefined keys gone).
    property var sent: []
    property int leaves: 0

    function reset() { handlers = {}; sent = []; connected = true; leaves = 0 }
    function on(name, f) { var h = handlers; h[name] = f; handlers = h }
    function off(name) { var h = handlers; delete h[name]; handlers = h }

    // Offline requests are dropped, as the real link drops them.
    function send(name, content, payload) {
        if (!connected)
            return
        var list = sent
        list.push({"name": name, "content": JSON.parse(JSON.stringify(content || {})),
                   "payload": payload === undefined ? undefined : JSON.parse(JSON.stringify(payload))})
        sent = list
    }

    function leave() { leaves++ }

    function names() { return sent.map(function (s) { return s.name }) }
    function last() { return sent.length ? sent[sent.length - 1] : null }

    // Plays a reply; false when no handler waits for it.
    function reply(name, content, payload, timestamp) {
        var handler = handlers[name + "_result"]
        if (typeof handler !== "function")
            return false
        handler({"content": content, "payload": payload === undefined ? {} : payload, "timestamp": timestamp || 1})
        return true
    }

    function drop() { connected = false }
    function relink() { connected = true }
}
