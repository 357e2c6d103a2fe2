.pragma library
// Filter items from the search form: ranges of inputs, toggles, and the one district item.

var separator = "#,#,#,#"

function copy(items) {
    return JSON.parse(JSON.stringify(items || []))
}

// Date inputs filter the one "date" key; the others "parent.key".
function inputKey(input) {
    return input.parent_key === "date" ? "date" : input.parent_key + "." + input.key
}

function blank(v) {
    return v === undefined || v === null || String(v).trim() === ""
}

// A range: the lower bound to value_1, the upper to value_2; both empty removes it.
function setRange(items, key, low, high) {
    var list = copy(items).filter(function (i) { return i.key !== key })
    if (!blank(low) || !blank(high))
        list.push({"key": key, "value": {"value_1": blank(low) ? "" : String(low).trim(),
                                         "value_2": blank(high) ? "" : String(high).trim()}})
    return list
}

function setToggle(items, parentKey, key, on) {
    var k = String(key)
    var list = copy(items).filter(function (i) { return !(i.key === parentKey && i.value.value_1 === k) })
    if (on)
        list.push({"key": parentKey, "value": {"value_1": k}})
    return list
}

function districtIds(items) {
    for (var i = 0; i < items.length; ++i)
        if (items[i].key === "district_array")
            return items[i].value.value_1.split(separator).filter(function (p) { return p !== "" })
    return []
}

// Each district appends the separator and its id; an empty value drops the item.
function setDistrict(items, id, on) {
    var ids = districtIds(items).filter(function (d) { return d !== id })
    if (on)
        ids.push(id)
    var list = copy(items).filter(function (i) { return i.key !== "district_array" })
    if (ids.length > 0)
        list.push({"key": "district_array", "value": {"value_1": ids.map(function (d) { return separator + d }).join(""),
                                                      "value_2": ""}})
    return list
}
