import QtQuick 2.15

// A stand-in for the database object's user slots: rows in memory, with the store's marks of who is
// logged in and who is current.
QtObject {
    property var rows: []
    property var calls: []
    property var saved: []
    property int nextId: 1
    // What saveUser answers instead of an id, to play a store failure.
    property var failSave: null

    function full(row) {
        var out = JSON.parse(JSON.stringify(row))
        if (row.parent_id) {
            var parent = byId(row.parent_id)
            if (parent) {
                out.parent = full(parent)
                out.user_ref = parent._id
                out.sync_data = parent.sync_data === true
            }
        }
        delete out.parent_id
        return out
    }

    function byId(id) {
        for (var i = 0; i < rows.length; ++i) {
            if (rows[i].id === id)
                return rows[i]
        }
        return null
    }

    // current: true for the current account, false for another logged-in one, absent for a row
    // that is not logged in.
    function add(acc, parentId, current) {
        var row = JSON.parse(JSON.stringify(acc))
        row.id = nextId++
        row.parent_id = parentId || 0
        row.logged_in = current !== undefined
        row.current = current === true
        rows.push(row)
        return row.id
    }

    function saveUser(acc, login) {
        calls.push("saveUser")
        saved.push(JSON.parse(JSON.stringify(acc)))
        if (failSave !== null)
            return failSave
        var parentId = 0
        if (acc.user_ref && typeof acc.user_ref === "object")
            parentId = saveUser(acc.user_ref, false)
        else if (acc.user_ref) {
            for (var p = 0; p < rows.length; ++p) {
                if (rows[p]._id === acc.user_ref && !rows[p].parent_id)
                    parentId = rows[p].id
            }
        }
        var row = null
        for (var i = 0; i < rows.length; ++i) {
            if (rows[i]._id === acc._id && rows[i].parent_id === parentId)
                row = rows[i]
        }
        if (!row) {
            row = {"id": nextId++, "current": false, "logged_in": false, "sync_data": false}
            rows.push(row)
        }
        for (var k in acc) {
            if (k !== "user_ref" && k !== "id")
                row[k] = acc[k]
        }
        row.parent_id = parentId
        if (login) {
            for (var j = 0; j < rows.length; ++j)
                rows[j].current = false
            row.current = true
            row.logged_in = true
        }
        return row.id
    }

    function currentUser() {
        calls.push("currentUser")
        for (var i = 0; i < rows.length; ++i) {
            if (rows[i].current && rows[i].logged_in)
                return full(rows[i])
        }
        return {"error": "no user was found for that query!"}
    }

    function getLoggedInUsers() {
        calls.push("getLoggedInUsers")
        return rows.filter(function (r) { return r.logged_in }).map(full)
    }

    function logOut(id) {
        calls.push("logOut " + id)
        var row = byId(id)
        if (row) {
            row.current = false
            row.logged_in = false
        }
        return true
    }

    function changeCurrentUser(id) {
        calls.push("changeCurrentUser " + id)
        for (var i = 0; i < rows.length; ++i)
            rows[i].current = false
        var row = byId(id)
        if (row) {
            row.current = true
            row.logged_in = true
        }
        return true
    }

    function initial() {
        calls.push("initial")
    }

    function getAgentsCount() {
        return rows.filter(function (r) { return r.parent_id !== 0 }).length
    }
}
