.pragma library
// Server records turned into what the store's save slots take, for the download, the update
// and the pushed notices. Pure functions, so the tests call them without the singletons.

var managerType = 100
var desktopPlatform = 64

function copy(value) {
    return value === undefined || value === null ? value : JSON.parse(JSON.stringify(value))
}

// Whether a list of a reply may be saved: an array, or nothing at all (no change of that kind).
// Anything else is a broken reply; read as an empty list it would store nothing and still let
// the stamp move past the changes it should have carried.
function isList(value) {
    return value === undefined || value === null || Array.isArray(value)
}

// A page's list as the socket object hands it over: native records with a length, which the
// save slots take as they are.
function isNativeList(value) {
    return value !== null && typeof value === "object" && !Array.isArray(value)
        && typeof value.length === "number" && typeof value.toArray === "function"
}

function present(value) {
    return value !== undefined && value !== null && value !== ""
}

// An agent item of the server ({agent_ref, access, type, device, date, status, setting}) as the
// agent's own user object, owned by `owner`. The setting goes on as the server sent it: the user
// repository reads its "form" text, and a parsed form would leave no hidden toggles stored.
function agentUser(item, owner, withSetting) {
    var user = copy(item.agent_ref) || {}
    user.user_ref = owner
    var keys = ["access", "type", "device", "date", "status"]
    for (var i = 0; i < keys.length; ++i) {
        if (item[keys[i]] !== undefined)
            user[keys[i]] = copy(item[keys[i]])
    }
    if (withSetting && item.setting !== undefined && item.setting !== null)
        user.setting = copy(item.setting)
    return user
}

// The agency owner's record as the manager's user object. Records of an edit leave out the image
// and the device; `stored`, the manager's stored account when given, supplies them, since the store
// would clear the image and the token of a record without them, and with no token the program
// never rejoins after a reconnection.
function managerUser(account, stored) {
    var user = copy(account)
    user.type = managerType
    delete user.user_ref
    if (stored && typeof stored === "object") {
        if (user.profile_image === undefined && stored.image)
            user.profile_image = stored.image
        var token = stored.device && stored.device.length && stored.device[0] ? stored.device[0].token : ""
        if (user.device === undefined && token)
            user.device = [{"platform": desktopPlatform, "token": token}]
    }
    return user
}

// `value` with every key `from` renamed to `to`, at any depth; a later key of the same name wins,
// as it would when the JSON text is rewritten and read again.
function renameKey(value, from, to) {
    if (Array.isArray(value))
        return value.map(function (v) { return renameKey(v, from, to) })
    if (value === null || typeof value !== "object")
        return value
    var out = {}
    for (var key in value) {
        var name = key === from ? to : key
        if (name in out)
            delete out[name]
        out[name] = renameKey(value[key], from, to)
    }
    return out
}

function idOf(value) {
    return value !== null && typeof value === "object" ? value._id : value
}

// A pushed file with its customer, guard, districts and hashtags taken out as records of their
// own and replaced by their ids: {file, contacts, districts, hashtags}.
function preparePushedFile(source) {
    var file = copy(source) || {}
    var contacts = []
    var keys = ["customer_ref", "guard"]
    for (var i = 0; i < keys.length; ++i) {
        var person = file[keys[i]]
        if (person !== null && typeof person === "object") {
            contacts.push(person)
            file[keys[i]] = person._id
        }
    }
    var districts = []
    var hashtags = []
    if (Array.isArray(file.district)) {
        districts = file.district.filter(function (d) { return d !== null && typeof d === "object" })
        file.district = file.district.map(idOf)
    }
    if (Array.isArray(file.hashtag)) {
        hashtags = file.hashtag.filter(function (h) { return h !== null && typeof h === "object" })
        file.hashtag = file.hashtag.map(idOf)
    }
    return {"file": file, "contacts": contacts, "districts": districts, "hashtags": hashtags}
}

// A pushed file is new to this user when it was sent to them, or when a colleague of the
// agency registered a public, live listing.
function isUnseenPush(type, file, registerId, me) {
    if (type === "send")
        return true
    if (type !== "create")
        return false
    var privateFile = !!(file.status && file.status.is_private === true)
    return Number(file.trade_ref) < 9 && !privateFile && registerId !== me
}

// The download's progress text: whole per cent, never 100 before the last record.
function percentText(sum, total) {
    if (!(sum > 0))
        return "0 %"
    var ratio = total > 0 ? sum / total : 1
    if (ratio >= 1)
        return "100 %"
    return Math.floor(ratio * 100) + " %"
}
