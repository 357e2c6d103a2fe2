pragma Singleton
import QtQuick 2.15
import "syncrecords.js" as Records

// The first full download of an account: a count, then ten steps, each paged by 1000 records and
// each page saved before the next is asked for.
Item {
    id: initialz

    // The services it drives; null means the program's own singleton.
    property var database: null
    property var sockets: null
    property var account: null
    property var toast: null

    property var content: ({})
    readonly property int limit: 1000
    property var payload: ({})
    property int list_length: 0
    property string emit_name: ""
    property var lastTimestamp: 0
    property var count: null

    // A page that cannot be read is asked for again this many times before the download stops.
    readonly property int maxAttempts: 3
    readonly property string failedText: "دریافت اطلاعات کامل نشد. با اجرای دوباره برنامه، دریافت از ابتدا انجام می شود."

    property bool running: false
    // -1 while the count is asked for, else the index in `steps`.
    property int stepIndex: -1
    // The page of the request that is out, and what the download waits for: "reply" or "save".
    property int page: 0
    property string waiting: ""
    property int attempts: 0
    property string saveError: ""
    property var savedHandlers: []

    signal progress(int max, int value)
    signal end()
    signal failed(string message)

    // saveSlots: the names under which the database object reports a failure of the step's save.
    readonly property var steps: [
        {"request": "initial_agent", "save": "initialSaveUsers", "saved": "usersSaved", "words": "user saved!", "saveSlots": ["initialSaveUsers", "saveUsers"]},
        {"request": "initial_customer", "save": "initialSaveContacts", "saved": "contactsSaved", "words": "contact saved!", "saveSlots": ["initialSaveContacts"]},
        {"request": "initial_district", "save": "initialSaveDistricts", "saved": "districtsSaved", "words": "district saved!", "saveSlots": ["initialSaveDistricts"]},
        {"request": "initial_hashtag", "save": "initialSaveHashtags", "saved": "hashtagsSaved", "words": "hashtag saved!", "saveSlots": ["initialSaveHashtags"]},
        {"request": "initial_note", "save": "initialSaveNotes", "saved": "notesSaved", "words": "note saved!", "saveSlots": ["initialSaveNotes"]},
        {"request": "initial_activity", "save": "initialSaveActivities", "saved": "activitiesSaved", "words": "activity saved!", "saveSlots": ["initialSaveActivities"]},
        {"request": "initial_tavorlin", "save": "initialSaveTavorlins", "saved": "tavorlinsSaved", "words": "tavorlin saved!", "saveSlots": ["initialSaveTavorlins"]},
        {"request": "initial_shelf", "save": "initialSaveShelves", "saved": "shelvesSaved", "words": "shelves saved!", "saveSlots": ["initialSaveShelves"]},
        {"request": "initial_property", "save": "initialSaveFiles", "saved": "filesSaved", "words": "files saved!", "saveSlots": ["initialSaveFiles"]},
        {"request": "initial_seen", "save": "unseen", "saved": "unseenSaved", "words": "unseen Checked!", "saveSlots": ["unseen"]}
    ]

    function db() { return database ? database : Database }
    function socket() { return sockets ? sockets : Sockets }
    function acc() { return account ? account : Account }
    function toasts() { return toast ? toast : Toast }

    function start() {
        try {
            detach()
            running = true
            stepIndex = -1
            attempts = 0
            emit_name = ""
            count = null
            lastTimestamp = 0
            db().error.connect(onDatabaseError)
            for (var i = 0; i < steps.length; ++i)
                attachStep(i)
            socket().on("initial_count_result", onCount)
            content = {"user_id": acc().userId(), "agent_id": acc().agentId()}
            send("initial_count", 1)
        } catch (e) {
            Toast.error(e, "Initialz.start")
        }
    }

    // The paged request: a new step always starts at page 1.
    function send(name, pageNumber) {
        if (name !== emit_name) {
            emit_name = name
            pageNumber = 1
        }
        page = pageNumber
        waiting = "reply"
        content.page = pageNumber
        socket().send(name, content, {"page": pageNumber})
    }

    function attachStep(index) {
        var step = steps[index]
        var onSaved = function () { stepSaved(index) }
        var handlers = savedHandlers
        handlers[index] = onSaved
        savedHandlers = handlers
        db()[step.saved].connect(onSaved)
        socket().on(step.request + "_result", function (reply) { pageArrived(index, reply) })
    }

    function detachStep(index) {
        var onSaved = savedHandlers[index]
        if (onSaved) {
            try {
                db()[steps[index].saved].disconnect(onSaved)
            } catch (e) {
            }
            var handlers = savedHandlers
            handlers[index] = null
            savedHandlers = handlers
        }
        socket().off(steps[index].request + "_result")
    }

    function detach() {
        for (var i = 0; i < steps.length; ++i)
            detachStep(i)
        socket().off("initial_count_result")
        try {
            db().error.disconnect(onDatabaseError)
        } catch (e) {
        }
    }

    // A reply the download is not waiting for (one of a request sent again, or after the end)
    // would count its records twice.
    function expected(index, reply) {
        if (!running || index !== stepIndex || waiting !== "reply")
            return false
        var echoed = reply && reply.payload ? reply.payload.page : undefined
        return echoed === undefined || echoed === null || Number(echoed) === page
    }

    function onCount(reply) {
        try {
            if (!expected(-1, reply))
                return
            waiting = ""
            var c = reply ? reply.content : null
            if (!c || c.count === undefined || c.count === null) {
                running = false
                detach()
                end()
                return
            }
            count = c
            progress(count.count, 0)
            beginStep(0)
        } catch (e) {
            Toast.error(e, "initial_count_result")
        }
    }

    function beginStep(index) {
        stepIndex = index
        attempts = 0
        send(steps[index].request, 1)
    }

    function pageArrived(index, reply) {
        if (!expected(index, reply))
            return
        var step = steps[index]
        var list
        try {
            var c = reply.content
            if (!c || typeof c !== "object")
                throw new Error(step.request + " answered without content")
            list = c.list === undefined || c.list === null ? [] : c.list
            if (!Array.isArray(list) && !Records.isNativeList(list))
                throw new Error(step.request + " answered a list that is not one")
            if (index === 0) {
                var owner = acc().parentServerId()
                if (!Array.isArray(list))
                    list = list.toArray()
                list = list.map(function (item) { return Records.agentUser(item, owner, false) })
            }
        } catch (e) {
            Toast.error(e, step.request + "_result")
            askAgain()
            return
        }
        payload = reply.payload ? reply.payload : {"page": page}
        list_length = list.length
        lastTimestamp = reply.timestamp
        attempts = 0
        saveError = ""
        waiting = "save"
        progress(count.count, list_length)
        try {
            if (Array.isArray(list))
                db()[step.save](list)
            else
                db().initialSavePage(step.save, list)
        } catch (e) {
            Toast.error(e, step.save)
            stop()
        }
    }

    // The same step and the same page again, a bounded number of times.
    function askAgain() {
        attempts += 1
        if (attempts > maxAttempts) {
            stop()
            return
        }
        send(emit_name, page)
    }

    function onDatabaseError(message, func) {
        if (running && waiting === "save" && stepIndex >= 0 && steps[stepIndex].saveSlots.indexOf(func) !== -1)
            saveError = message
    }

    function stepSaved(index) {
        try {
            if (!running || index !== stepIndex || waiting !== "save")
                return
            waiting = ""
            var step = steps[index]
            console.log((page - 1) * limit + list_length, step.words)
            if (saveError !== "") {
                stop()
                return
            }
            if (list_length < limit) {
                detachStep(index)
                if (index + 1 < steps.length)
                    beginStep(index + 1)
                else
                    finish()
            } else {
                send(step.request, page + 1)
            }
        } catch (e) {
            Toast.error(e, "stepSaved")
            stop()
        }
    }

    function finish() {
        console.log("####################FINISH_INITIAL_AGENT###################")
        running = false
        detach()
        db().updateDate(lastTimestamp)
        // The stamp changed the account's row; the cached copies and the account must show it,
        // or the next update would ask from the old date and the account would seem unsynced.
        db().initial()
        acc().set(db().currentUser())
        end()
    }

    // Nothing is stamped, so the account stays unsynchronised and the next start downloads again.
    function stop() {
        running = false
        waiting = ""
        detach()
        toasts().show(failedText)
        failed(failedText)
    }

    // A request or its reply lost with the link: ask again once the link is back.
    function relinked() {
        if (running && waiting === "reply" && socket().connected)
            send(emit_name, page)
    }

    Connections {
        target: initialz.socket()
        ignoreUnknownSignals: true
        function onConnectedChanged() { initialz.relinked() }
    }
}
