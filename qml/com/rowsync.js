.pragma library

// Brings a ListModel of {"key", "json"} rows to a new list of objects in place: rows that left
// are removed, new ones inserted, moved ones moved and changed ones rewritten, so a view over the
// model keeps its delegates and its scroll position, unlike a view whose whole model is replaced.
// keyOf(object) gives each object's key (its "_id" when not given).
function assign(model, list, keyOf) {
    var key = keyOf || function (o) { return String(o && o._id !== undefined ? o._id : "") }
    var wanted = {}
    for (var i = 0; i < list.length; ++i)
        wanted[key(list[i])] = true
    for (var r = model.count - 1; r >= 0; --r) {
        if (!wanted[model.get(r).key])
            model.remove(r)
    }
    for (var j = 0; j < list.length; ++j) {
        var k = key(list[j])
        var json = JSON.stringify(list[j])
        var at = -1
        for (var m = j; m < model.count; ++m) {
            if (model.get(m).key === k) {
                at = m
                break
            }
        }
        if (at === -1) {
            model.insert(j, {"key": k, "json": json})
            continue
        }
        if (at !== j)
            model.move(at, j, 1)
        if (model.get(j).json !== json)
            model.setProperty(j, "json", json)
    }
    while (model.count > list.length)
        model.remove(model.count - 1)
}
