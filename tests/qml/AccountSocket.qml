import QtQuick 2.15

// The server link: records each request with the account that sent it, and plays the replies.
QtObject {
    property var handlers: ({})
    property var sent: []
    property var account: null

    function reset() { handlers = {}; sent = [] }
    function on(name, f) { handlers[name] = f }
    function off(name) { delete handlers[name] }

    function send(name, content) {
        sent.push({"name": name, "content": JSON.parse(JSON.stringify(content || null)),
                   "from": account ? account.userId() : undefined})
    }

    function join() { send("join", {"user_id": account.userId(), "agent_id": account.agentId()}) }
    function leave() { send("leave", {}) }
    function check_validity() { send("validity_token", {"token": account.getToken()}) }

    function names() { return sent.map(function (s) { return s.name }) }

    function last(name) {
        var of = sent.filter(function (s) { return s.name === name })
        return of.length ? of[of.length - 1].content : undefined
    }

    function reply(name, content) {
        handlers[name + "_result"]({"content": content, "payload": {}, "timestamp": 1})
    }
}
