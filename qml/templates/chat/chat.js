.pragma library
// Requests and rows of the conversation screens, free of the engine so tests reach them.

function listContent(userId) {
    return {"user_id": userId}
}

// A conversation of the server as a list row.
function row(c) {
    c = c || {}
    var last = c.last_message || {}
    return {"_id": c._id || "", "title": c.name || "", "desc": c.description || "", "type": c.type,
            "lastMessage": last.message === undefined || last.message === null ? "" : String(last.message),
            "lastMessageDate": Number(last.create) || 0, "image": c.image || "",
            "count": Number(c.count) || 0, "admins": c.admins || []}
}

function rows(list) {
    return Array.isArray(list) ? list.map(row) : null
}

// The rows with the unread count of one conversation cleared.
function read(rows, id) {
    return (rows || []).map(function (r) {
        if (r._id !== id || r.count === 0)
            return r
        var copy = JSON.parse(JSON.stringify(r))
        copy.count = 0
        return copy
    })
}

function messagesContent(conversation, userId, agentId) {
    return {"conversation_id": conversation._id, "user_id": userId, "agent_id": agentId, "type": 3,
            "page": 1, "seen": Number(conversation.count) > 0}
}

// The seen mark carries the time of the reply's first message; an empty conversation has none
// to carry, so nothing is sent (null).
function seenContent(conversation, userId, agentId, messages) {
    if (!Array.isArray(messages) || messages.length === 0)
        return null
    return {"conversation_ref": conversation._id, "user_id": userId, "agent_id": agentId, "type": 3,
            "timestamp": messages[0].create}
}
