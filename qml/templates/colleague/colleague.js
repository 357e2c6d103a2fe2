.pragma library
// The colleagues' request and labels.

// The owner's location: a manager's own, an agent's agency's.
function ownerPoint(acc, owner) {
    var source = acc && Number(acc.type) === 100 ? acc : owner
    var map = source && source.map ? source.map : {}
    return {"lat": Number(map.lat) || 0, "lng": Number(map.lng) || 0}
}

function request(userId, agentId, point) {
    return {"user_id": userId, "agent_id": agentId, "map": {"lat": point.lat, "lng": point.lng}}
}

// Every number a colleague can be called on, once each.
function phoneNumbers(colleague) {
    var out = []
    var info = colleague && colleague.info ? colleague.info : {}
    var candidates = [colleague ? colleague.mobile : "", info.mobile_1, info.mobile_2, info.phone_1, info.phone_2]
    for (var i = 0; i < candidates.length; ++i) {
        var n = candidates[i] ? String(candidates[i]).trim() : ""
        if (n && out.indexOf(n) === -1)
            out.push(n)
    }
    return out
}
