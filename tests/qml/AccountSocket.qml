import QtQuick 2.15

// A stand-in for the server link: records what is sent and answers through the registered handlers.
QtObject {
    property var handlers: ({})
    property var sent: []
    // Who the account singleton named when each request left.
    property var account: null
    property var senders: []

    function on(name, f) { handlers[name] = f }
    function off(name) { delete handlers[name] }

    function send(name, content, payload) {
        sent.push({"name": name, "content": content === undefined ? null : JSON.parse(JSON.stringify(content))})
        senders.push(account ? account.userId() : undefined)
    }

    function join() { send("join", {"user_id": account.userId(), "agent_id": account.agentId()}) }
    function leave() { send("leave", {"user_id": account.userId(), "agent_id": account.agentId()}) }
    function check_validity() { send("validity_token", {"token": account.getToken()}) }

    function names() {
        return sent.map(function (s) { return s.name })
    }

    function last(name) {
        for (var i = sent.length - 1; i >= 0; --i) {
            if (sent[i].name === name)
                return sent[i].content
        }
        return undefined
    }

    // Plays the server's answer to a request.
    function reply(name, content) {
        var handler = handlers[name + "_result"]
        if (typeof handler !== "function")
            throw new Error("no handler for " + name)
        handler({"content": content, "payload": {}, "timestamp": 1700000000000})
    }
}
