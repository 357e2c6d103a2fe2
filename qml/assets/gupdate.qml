pragma Singleton
import QtQuick 2.15
import "syncrecords.js" as Records

// The incremental update: one "initial_upgrade" request for everything changed since the stamp,
// whose reply is saved kind by kind; the stamp moves only when every save went through.
Item {
    id: updates

    // The services it drives; null means the program's own singleton.
    property var database: null
    property var sockets: null
    property var account: null
    property var consts: null
    property var settings: null
    property var templates: null
    property var notifier: null

    property var content: ({})
    property string emit_name: ""
    property var timestamp: 0
    property var contentUpdate: null
    property bool init_loading_view: false

    // "" when idle, "reply" while the request is out, "saving" while the reply is saved.
    property string phase: ""
    // Whether the request that is out went over the current link; a new link asks again.
    property bool askedOnLink: false
    property bool chainFailed: false
    property bool chainOk: false

    signal endUpdate()

    // Saved in this order, each once the one before has answered; null takes the users.
    readonly property var chain: [
        {"save": "initialUpdateSaveUsers", "saved": "usersSaved", "key": null, "words": "user saved!"},
        {"save": "initialUpdateSaveContacts", "saved": "contactsSaved", "key": "contact", "words": "contact saved!"},
        {"save": "initialUpdateSaveDistricts", "saved": "districtsSaved", "key": "district", "words": "district saved!"},
        {"save": "initialUpdateSaveHashtags", "saved": "hashtagsSaved", "key": "hashtag", "words": "hashtag saved!"},
        {"save": "initialUpdateSaveNotes", "saved": "notesSaved", "key": "note", "words": "note saved!"},
        {"save": "initialUpdateSaveActivities", "saved": "activitiesSaved", "key": "activity", "words": "activity saved!"},
        {"save": "initialUpdateSaveTavorlins", "saved": "tavorlinsSaved", "key": "tavorlin", "words": "tavorlin saved!"},
        {"save": "initialUpdateSaveShelves", "saved": "shelvesSaved", "key": "shelf", "words": "shelves saved!"},
        {"save": "initialUpdateSaveFiles", "saved": "filesSaved", "key": "properties", "words": "files saved!"}
    ]

    function db() { return database ? database : Database }
    function socket() { return sockets ? sockets : Sockets }
    function acc() { return account ? account : Account }
    function shared() { return consts ? consts : Consts }
    function notices() { return notifier ? notifier : Notification }
    function store() { return settings ? settings : Settings }
    function screens() { return templates ? templates : Templates }

    function start() {
        try {
            // One update at a time; a second start while the request is out on this link adds nothing.
            if (phase === "saving" || (phase === "reply" && askedOnLink))
                return
            // Offline the request would be dropped and the busy overlay would stay until the link
            // is back; the road after the next connection starts the update again.
            if (!socket().connected) {
                console.log("initial_upgrade waits for the server link")
                return
            }
            // The update's own hold: an export or a download running beside it keeps theirs.
            if (!shared().isHeld("update"))
                shared().hold("update")
            init_loading_view = true
            content = {"user_id": acc().parentServerId(), "updated_at": db().getUpdateDate()}
            socket().on("initial_upgrade_result", onReply)
            send("initial_upgrade")
        } catch (e) {
            Toast.error(e, "Updates.start")
            finish()
        }
    }

    // The paged request: a repeated name keeps the page it is given (none here).
    function send(name, pageNumber) {
        if (name !== emit_name) {
            emit_name = name
            pageNumber = 1
        }
        content.page = pageNumber
        phase = "reply"
        askedOnLink = socket().connected
        socket().send(name, content, {"page": pageNumber})
    }

    function onReply(reply) {
        // A reply nobody waits for (a request asked twice over two links) is not saved twice.
        if (phase !== "reply")
            return
        phase = "saving"
        try {
            var c = reply ? reply.content : null
            if (!c) {
                finish()
                return
            }
            if (c.reset === true) {
                reset()
                return
            }
            contentUpdate = c
            timestamp = reply.timestamp
            // A failed save does not hold back the others; it only keeps the stamp where it was.
            chainOk = saveChain(c, usersOf(c))
            if (!Records.isList(c.unseen)) {
                console.log("initial_upgrade: unseen is not a list, the update date stays")
                chainOk = false
            }
            saveUnseen(Array.isArray(c.unseen) ? c.unseen : [])
        } catch (e) {
            Toast.error(e, "initial_upgrade_result")
            attempt("holdStamp", function () { notices().holdStamp = true })
            finish()
        }
    }

    function usersOf(c) {
        var users = []
        if (c.account !== undefined && c.account !== null)
            users.push(Records.managerUser(c.account))
        var owner = acc().parentServerId()
        // null: the agents are not a list, so the users' step fails.
        if (!Records.isList(c.agent))
            return null
        var agents = Array.isArray(c.agent) ? c.agent : []
        for (var i = 0; i < agents.length; ++i)
            users.push(Records.agentUser(agents[i], owner, true))
        return users
    }

    // The update saves run on this thread and answer before they return, so any failure they
    // report arrives while the chain runs.
    function onChainError(message, func) {
        chainFailed = true
    }

    function saveChain(c, users) {
        chainFailed = false
        var answered = true
        db().error.connect(onChainError)
        try {
            for (var i = 0; i < chain.length; ++i) {
                var step = chain[i]
                var list = step.key === null ? users : c[step.key]
                if (list === null && step.key === null || !Records.isList(list)) {
                    // A failed step: nothing of it is saved and the stamp stays.
                    console.log("initial_upgrade:", step.key === null ? "agent" : step.key, "is not a list")
                    answered = false
                    continue
                }
                answered = saveOne(step, Array.isArray(list) ? list : []) && answered
            }
            return answered && !chainFailed
        } finally {
            db().error.disconnect(onChainError)
        }
    }

    function saveOne(step, list) {
        var answered = false
        var onSaved = function () { answered = true }
        db()[step.saved].connect(onSaved)
        try {
            db()[step.save](list)
        } finally {
            db()[step.saved].disconnect(onSaved)
        }
        console.log(list.length, step.words)
        return answered
    }

    property bool unseenFailed: false

    function onUnseenError(message, func) {
        if (func === "unseen")
            unseenFailed = true
    }

    // The unseen marks are saved on the pool, so the update ends on their signal.
    function saveUnseen(list) {
        unseenFailed = false
        db().error.connect(onUnseenError)
        db().unseenSaved.connect(onUnseenSaved)
        db().unseen(list)
    }

    function onUnseenSaved() {
        try {
            db().unseenSaved.disconnect(onUnseenSaved)
            db().error.disconnect(onUnseenError)
            if (phase !== "saving")
                return
            console.log(contentUpdate && Array.isArray(contentUpdate.unseen) ? contentUpdate.unseen.length : 0, "unseen Checked!")
            if (chainOk && !unseenFailed && Number(timestamp) > 0) {
                db().updateDate(timestamp)
                // The next update reads the stamp from the cached account row.
                db().initial()
                notices().holdStamp = false
            } else if (!chainOk || unseenFailed) {
                console.log("initial_upgrade: a save failed, the update date stays")
                notices().holdStamp = true
            }
        } catch (e) {
            Toast.error(e, "unseenSaved")
        }
        finish()
    }

    function attempt(name, step) {
        try {
            step()
        } catch (e) {
            Toast.error(e, name)
        }
    }

    function finish() {
        phase = ""
        askedOnLink = false
        attempt("initial_upgrade_result", function () { socket().off("initial_upgrade_result") })
        attempt("Account.set", function () { acc().set(db().currentUser()) })
        attempt("applyPendingNotifies", function () { shared().release("update") })
        init_loading_view = false
        endUpdate()
    }

    // The server asks for a blank start: the notices held for the wiped account go with it.
    function reset() {
        phase = ""
        askedOnLink = false
        attempt("leave", function () { socket().leave() })
        attempt("Account.set", function () { acc().set(null) })
        attempt("Settings.clear", function () { store().clear() })
        attempt("removeDb", function () { db().removeDb() })
        shared().pending_notifies = []
        attempt("release", function () { shared().release("update", false) })
        init_loading_view = false
        attempt("Templates.replace", function () { screens().replace("SplashDesktop.qml") })
    }

    // A request or its reply lost with the link: ask again on the new one.
    function relinked() {
        if (!socket().connected) {
            askedOnLink = false
            return
        }
        if (phase === "reply" && !askedOnLink)
            send(emit_name)
    }

    Connections {
        target: updates.socket()
        ignoreUnknownSignals: true
        function onConnectedChanged() { updates.relinked() }
    }
}
