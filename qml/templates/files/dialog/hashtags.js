.pragma library
.import "qrc:/assets/texts.js" as Texts
// The file hashtags dialog's choice: what was newly ticked and newly unticked.

function key(tag) {
    return tag._id !== undefined && tag._id !== "" ? "id:" + tag._id : "title:" + tag.title
}

function changes(before, after) {
    var b = (before || []).map(key), a = (after || []).map(key)
    return {
        "added": (after || []).filter(function (t) { return b.indexOf(key(t)) === -1 }),
        "removed": (before || []).filter(function (t) { return a.indexOf(key(t)) === -1 })
    }
}

function ids(list) {
    return (list || []).map(function (t) { return t._id })
}

// A new title joins the list once; one already listed is ticked instead.
function addTitle(all, title) {
    var t = String(title || "").trim()
    if (t === "")
        return {"list": all, "tag": null}
    for (var i = 0; i < all.length; ++i)
        if (Texts.sameText(all[i].title, t))
            return {"list": all, "tag": all[i]}
    var tag = {"title": t}
    return {"list": all.concat([tag]), "tag": tag}
}

function requestContent(userId, agentId, file, result) {
    return {"user_id": userId, "agent_id": agentId, "file_id": file._id, "property_id": file.property_ref,
            "hashtag_remove": ids(result.removed), "hashtag_add": ids(result.added)}
}
