.pragma library
// The upload decisions of UCloudUploader, free of the engine's singletons so tests reach them:
// the dated key folder, which files are re-encoded, the part walk, and the one credentials
// request shared by every uploader of the process.

var partSize = 5 * 1024 * 1024

var signKey = "3C:A1:9E:47:B2:08:D5:6F:11:E4:7A:C9:52:0B:8D:F3:66:2E:A7:94"

// Photos re-encoded before upload; the case is as the pickers hand the names over.
var compressedEndings = ["jpg", "png", "JPG", "JPEG", "jpeg", "heic", "heif", "HEIC", "HEIF"]

function pad2(n) {
    return (n < 10 ? "0" : "") + n
}

// year/month/day of the local date; the month counts from 0, as the server's folders do.
function dateText(date) {
    return date.getFullYear() + "/" + pad2(date.getMonth()) + "/" + pad2(date.getDate())
}

function shouldCompress(file) {
    var text = String(file)
    for (var i = 0; i < compressedEndings.length; ++i) {
        var ending = compressedEndings[i]
        if (text.length >= ending.length && text.substr(text.length - ending.length) === ending)
            return true
    }
    return false
}

function isMultipart(size) {
    return size > partSize
}

function isLastPart(size, index) {
    return size - index * partSize <= partSize
}

function extension(file) {
    var text = String(file)
    var dot = text.lastIndexOf(".")
    return dot < 0 ? "" : text.substr(dot)
}

function partInfo(file, size, index) {
    return {"ext": extension(file), "part": 1, "last": isLastPart(size, index)}
}

function percent(done, total) {
    return total > 0 ? (done * 100 / total).toFixed(2) : "0.00"
}

function credentialsContent(userId, agentId) {
    return {"user_id": userId, "agent_id": agentId, "sign_key": signKey}
}

// The store settings of a reply's content, or null when the reply carries none.
function target(content) {
    if (!content || !content.target || !content.target.credentials)
        return null
    var t = content.target
    return {
        "endpoint": String(t.endpoint || ""),
        "accessKeyId": String(t.credentials.accessKeyId || ""),
        "secretAccessKey": String(t.credentials.secretAccessKey || ""),
        "bucket": String(t.bucket || ""),
        "forcePathStyle": t.forcePathStyle === true
    }
}

// Uploaders waiting for the credentials: the first to wait sends the request, and the reply
// serves them all, since the socket keeps one handler per reply name.
var waiting = []
var askedAt = 0
var answerWaitMs = 30000

// Returns true when the caller must send the request: the first to wait, or anyone once the
// request before went unanswered for too long (a lost reply must not hold uploads for ever).
function waitForCredentials(done, now) {
    waiting.push(done)
    if (waiting.length === 1 || now - askedAt > answerWaitMs) {
        askedAt = now
        return true
    }
    return false
}

// Hands the outcome (target or null) to every waiting uploader.
function credentialsArrived(t) {
    var list = waiting
    waiting = []
    for (var i = 0; i < list.length; ++i)
        list[i](t)
}
