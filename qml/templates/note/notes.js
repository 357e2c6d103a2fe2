.pragma library

// The six preset tags of a note: choosing one sets the note's title and colour.
var presets = [
    {"title": "قرار بازدید", "color": "#80DEEA"},
    {"title": "تنظیم قرارداد", "color": "#90CAF9"},
    {"title": "کارشناسی", "color": "#EF9A9A"},
    {"title": "پیگیری", "color": "#CE93D8"},
    {"title": "تماس مهم", "color": "#A5D6A7"},
    {"title": "خیلی مهم", "color": "#FFF59D"}
]

var emptyNoteMessage = "عنوان و توضیحات یادداشت رو پر کنید"
var emptyTaskMessage = "عنوان وظیفه را وارد کنید"

// Today's reminder window in local time, whole minutes at both ends: 00:01:00.000 to
// 23:59:59.999, so a count never depends on the second it is taken at.
function todayBounds(now) {
    var start = now === undefined ? new Date() : new Date(now)
    start.setHours(0, 1, 0, 0)
    var end = new Date(start.getTime())
    end.setHours(23, 59, 59, 999)
    return {"start": start.getTime(), "end": end.getTime()}
}

// Ends included, as the store counts them, so the list and the badge agree.
function isToday(note, bounds) {
    var d = Number(note && note.date)
    return d >= bounds.start && d <= bounds.end
}

function todayNotes(notes, bounds) {
    var list = []
    for (var i = 0; i < notes.length; ++i)
        if (isToday(notes[i], bounds))
            list.push(notes[i])
    return list
}

// Milliseconds of a Jalali day at an hour and minute; toTimestamp(jy, jm, jd) gives some time
// of that local day.
function alarmOf(dayTimestamp, hour, minute) {
    var d = new Date(Number(dayTimestamp))
    d.setHours(Number(hour) || 0, Number(minute) || 0, 0, 0)
    return d.getTime()
}

function trimmed(text) {
    return String(text === undefined || text === null ? "" : text).trim()
}

// The content of "note_create" (or "note_edit" with noteId), or {error} when it may not be sent.
function noteContent(form, userId, agentId, noteId) {
    var title = trimmed(form.title)
    var body = trimmed(form.body)
    if (title === "" || body === "")
        return {"error": emptyNoteMessage}
    var content = {"user_id": userId, "agent_id": agentId, "title": title, "body": body,
                   "color": String(form.color || ""), "date": {"alarm": Number(form.alarm)}}
    if (noteId !== undefined && noteId !== null && noteId !== "")
        content.note_id = noteId
    return content
}

function taskContent(form, userId, agentId, taskId) {
    var title = trimmed(form.title)
    var body = trimmed(form.body)
    if (title === "")
        return {"error": emptyTaskMessage}
    var content = {"user_id": userId, "agent_id": agentId, "title": title, "body": body,
                   "assignedTo": (form.assignedTo || []).slice()}
    if (taskId !== undefined && taskId !== null && taskId !== "")
        content.task_id = taskId
    return content
}

// "task_list" content: a vice manager sees the agency's tasks, so no agent is named.
function taskListContent(userId, agentId, viceManager, type) {
    var content = {"user_id": userId, "type": type}
    if (!viceManager)
        content.agent_id = agentId
    return content
}

// One person of a task: the current account when the id is its own, else the agent of that id;
// an unknown id keeps its id with an empty name.
function person(id, agents, me) {
    if (me && me._id !== undefined && String(me._id) === String(id))
        return {"name_family": me.name_family || "", "image": me.image || "", "_id": me._id}
    for (var i = 0; i < agents.length; ++i) {
        if (String(agents[i]._id) === String(id))
            return {"name_family": agents[i].name_family || "", "image": agents[i].image || "",
                    "_id": agents[i]._id}
    }
    return {"name_family": "", "image": "", "_id": id}
}

function idOf(value) {
    return value && typeof value === "object" ? value._id : value
}

// A task of a reply with its assignees and its completer resolved for display.
function resolveTask(task, agents, me) {
    var copy = {}
    for (var k in task)
        copy[k] = task[k]
    var ids = task.assignedTo || []
    copy.assignees = []
    for (var i = 0; i < ids.length; ++i)
        copy.assignees.push(person(idOf(ids[i]), agents, me))
    var done = idOf(task.doneBy)
    copy.completer = done !== undefined && done !== null && done !== "" ? person(done, agents, me) : null
    return copy
}

function names(people) {
    var list = []
    for (var i = 0; i < people.length; ++i)
        if (people[i].name_family)
            list.push(people[i].name_family)
    return list.join("، ")
}

function indexById(list, id) {
    for (var i = 0; i < list.length; ++i)
        if (String(list[i]._id) === String(id))
            return i
    return -1
}
