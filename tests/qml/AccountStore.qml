import QtQuick 2.15

// The stand-in database with its user slots over rows in memory: who is logged in, who is current,
// whose agent.
StandInDatabase {
    property var rows: []
    property var saved: []
    // What saveUser answers instead of an id, to play a store failure.
    property var failSave: null

    function reset() { rows = []; calls = []; pending = []; failures = {}; saved = []; failSave = null }

    // current: true for the current account, false for another logged-in one, absent for neither.
    function add(acc, parentId, current) {
        var row = JSON.parse(JSON.stringify(acc))
        row.id = rows.length + 1
        row.parent_id = parentId || 0
        row.logged_in = current !== undefined
        row.current = current === true
        rows.push(row)
        return row.id
    }

    function full(row) {
        var out = JSON.parse(JSON.stringify(row))
        var parent = rows[row.parent_id - 1]
        if (parent) {
            out.parent = full(parent)
            out.user_ref = parent._id
            out.sync_data = parent.sync_data === true
        }
        return out
    }

    function find(serverId, parentId) {
        return rows.filter(function (r) { return r._id === serverId && r.parent_id === parentId })[0]
    }

    function saveUser(acc, login) {
        saved.push(JSON.parse(JSON.stringify(acc)))
        if (failSave !== null)
            return failSave
        var ref = acc.user_ref
        var parent = ref && typeof ref === "object" ? rows[saveUser(ref, false) - 1] : find(ref, 0)
        var parentId = parent ? parent.id : 0
        var row = find(acc._id, parentId) || rows[add({}, parentId) - 1]
        for (var k in acc)
            row[k] = k === "user_ref" || k === "id" ? row[k] : acc[k]
        if (login) {
            rows.forEach(function (r) { r.current = false })
            row.current = row.logged_in = true
        }
        return row.id
    }

    function currentUser() {
        var row = rows.filter(function (r) { return r.current && r.logged_in })[0]
        return row ? full(row) : {"error": "no user was found for that query!"}
    }

    function getLoggedInUsers() { return rows.filter(function (r) { return r.logged_in }).map(full) }
    function logOut(id) { record("logOut", arguments); rows[id - 1].current = rows[id - 1].logged_in = false }

    function changeCurrentUser(id) {
        record("changeCurrentUser", arguments)
        rows.forEach(function (r) { r.current = false })
        rows[id - 1].current = rows[id - 1].logged_in = true
    }
}
