.pragma library

// The file's ids as the file-note events name them.
function fileIds(file) {
    return {"file_id": file ? file._id : undefined, "property_id": file ? file.property_ref : undefined}
}

function listContent(file, userId, agentId) {
    var c = fileIds(file)
    c.user_id = userId
    c.agent_id = agentId
    return c
}

// A message of the conversation view with the file's ids added.
function messageContent(message, file) {
    var c = {}
    for (var k in message)
        c[k] = message[k]
    var ids = fileIds(file)
    c.file_id = ids.file_id
    c.property_id = ids.property_id
    return c
}

// The ids a removal reply names: its result is an array of activities (or of their ids).
function removedIds(result) {
    var ids = []
    var list = Array.isArray(result) ? result : []
    for (var i = 0; i < list.length; ++i) {
        var id = list[i] && typeof list[i] === "object" ? list[i]._id : list[i]
        if (id !== undefined && id !== null && id !== "")
            ids.push(String(id))
    }
    return ids
}
