pragma Singleton
import QtQuick 2.15
import "syncrecords.js" as Records
import "../templates/main/home.js" as Home

// The server's pushed notices: each is applied to the store in arrival order, then the screens
// get one refresh signal per notice.
Item {
    id: notification

    // The services it drives; null means the program's own singleton.
    property var database: null
    property var account: null
    property var sockets: null
    property var templates: null

    property bool working: false
    // Set while changes of a failed update are still missing: a notice's later time would move
    // the stamp past them, and the next update would never ask for them again.
    property bool holdStamp: false
    property var funcs: []
    property var events: []

    signal accountNotify(var data)
    signal shelvesNotify(var data)
    signal tavorlinNotify(var data)
    signal propertyNotify(var data)
    signal districtNotify(var data)
    signal hashtagNotify(var data)
    signal contactNotify(var data)
    signal noteNotify(var data)
    signal activityNotify(var data)

    function db() { return database ? database : Database }
    function acc() { return account ? account : Account }
    function socket() { return sockets ? sockets : Sockets }
    function screens() { return templates ? templates : Templates }

    // Event name to handler and refresh signal; a name without a refresh signal raises none.
    readonly property var table: ({
        "tavorlin_notify": {"handler": "onTavorlin", "refresh": "tavorlinNotify"},
        "shelf_notify": {"handler": "onShelf", "refresh": "shelvesNotify"},
        "property_notify": {"handler": "onProperty", "refresh": "propertyNotify"},
        "district_notify": {"handler": "onDistrict", "refresh": "districtNotify"},
        "hashtag_notify": {"handler": "onHashtag", "refresh": "hashtagNotify"},
        "contact_notify": {"handler": "onContact", "refresh": "contactNotify"},
        "note_notify": {"handler": "onNote", "refresh": "noteNotify"},
        "activity_notify": {"handler": "onActivity", "refresh": "activityNotify"},
        "media_link_notify": {"handler": "onMediaLink", "refresh": ""},
        "account_notify": {"handler": "onAccount", "refresh": "accountNotify"},
        "upload_notify": {"handler": "onAccount", "refresh": "accountNotify"}
    })

    function handleNotification(event, data) {
        try {
            var entry = table[event]
            var queue = funcs
            queue.push({"event": event, "data": data, "func": entry ? entry.handler : ""})
            funcs = queue
            console.log("handling " + event)
            if (!working)
                run()
        } catch (e) {
            Toast.error(e, "handleNotification")
        }
    }

    function run() {
        while (funcs.length > 0) {
            working = true
            var queue = funcs
            var notice = queue[0]
            apply(notice)
            queue = funcs
            queue.shift()
            funcs = queue
            var done = events
            done.push(notice)
            events = done
        }
        working = false
        var applied = events
        events = []
        for (var i = 0; i < applied.length; ++i) {
            var entry = table[applied[i].event]
            if (entry && entry.refresh !== "")
                notification[entry.refresh](applied[i].data)
        }
    }

    // A handler's failure ends that notice only; the queue moves on.
    function apply(notice) {
        try {
            if (notice.func === "")
                return
            var body = notice.data || {}
            var content = body.content || {}
            var ts = !holdStamp && Number(body.timestamp) > 0 ? Number(body.timestamp) : -1
            notification[notice.func](String(content.type), content.data, ts, content)
        } catch (e) {
            Toast.error(e, notice.event)
        }
    }

    // A list that is something else fails the notice: nothing is saved and nothing stamped.
    function list(value) {
        if (!Records.isList(value))
            throw new Error("a list of the notice is not an array")
        return Array.isArray(value) ? value : []
    }

    function onTavorlin(type, data, ts) {
        var database = db()
        if (type === "create") {
            database.saveTavorlins([data.result], ts)
            database.changeShelvesTavorlins(data.shelf_id, [data.result._id], [], ts)
        } else if (type === "edit") {
            database.editTavorlin(data._id, data.color, data.name, ts)
        } else if (type === "delete") {
            database.deleteTavorlin(data._id, ts)
        } else if (type === "agent_access") {
            database.saveAgentTavorlinAccess(data, ts)
        } else if (type === "access") {
            database.saveTavorlinAgentAccess(data._id, list(data.access), ts)
        }
    }

    function onShelf(type, data, ts) {
        var database = db()
        if (type === "create" || type === "edit") {
            database.saveShelf(Records.renameKey(data, "shelf_id", "_id"))
        } else if (type === "remove") {
            database.deleteShelf(data._id)
        } else if (type === "tavorlin_remove") {
            database.changeShelvesTavorlins(data.shelf_id, [], [data.tavorlin_id], ts)
        } else if (type === "shelf_tavorlin") {
            // Boards created for this change come without an id in tavorlin_add: they are placed by
            // the "_id" the server gave them, once each.
            // Lists of another shape fail the notice before anything is saved.
            var added = list(data.tavorlin_add)
            var removed = list(data.tavorlin_remove)
            var boards = Home.createdBoards(data.tavorlins)
            if (boards.length > 0)
                database.saveTavorlins(boards)
            database.changeShelvesTavorlins(data.shelf_id, Home.shelfBoardsAdded(added, boards), Home.idList(removed), ts)
        } else if (type === "agent_access") {
            database.saveAgentShelfAccess(data, ts)
        } else if (type === "access") {
            database.saveShelfAgentAccess(data._id, list(data.access), ts)
        }
    }

    // The id under which this account registers files: the manager's own, else the agent's.
    function myId() {
        return acc().isManager() ? acc().userId() : acc().agentId()
    }

    function savePushedFile(type, data, ts) {
        var database = db()
        var pushed = Records.preparePushedFile(data.file)
        database.saveContacts(pushed.contacts)
        if (pushed.districts.length > 0)
            database.saveDistricts(pushed.districts)
        if (pushed.hashtags.length > 0)
            database.saveHashtags(pushed.hashtags)
        var file = pushed.file
        if (Records.isUnseenPush(type, file, data.register_id, myId()))
            file.seen = false
        database.saveFiles([file], ts)
    }

    function onProperty(type, data, ts) {
        var database = db()
        if (type === "send" || type === "copy" || type === "create" || type === "edit") {
            savePushedFile(type, data, ts)
        } else if (type === "change") {
            database.deleteFile(data.old.file_id)
            savePushedFile(type, data, ts)
        } else if (type === "action") {
            var actions = list(data.action)
            for (var i = 0; i < actions.length; ++i)
                fileAction(data.key, actions[i], ts)
        } else if (type === "seen") {
            database.fileSeen(data.code[0])
        } else if (type === "clean") {
            database.deleteFilesByFilter(data.trade_id, data.property_id, list(data.filter))
        } else if (type === "hashtag") {
            database.saveFileHashTags(data, ts)
        }
    }

    function fileAction(key, item, ts) {
        var database = db()
        var id = item.file_id
        var value = item.value
        if (key === "status.pin" || key === "pin_agent")
            database.pinFile(id, value, ts)
        else if (key === "trade_ref")
            database.archiveFile(id, value, item.date !== undefined && item.date !== null ? item.date : -1, ts)
        else if (key === "status.delete")
            database.moveFileToRecyclerbin(id, value, ts)
        else if (key === "status.ad_colleague")
            database.adColleagueFile(id, value, ts)
        else if (key === "die")
            database.deleteFile(id, ts)
        else if (key === "date.register")
            database.archiveFile(id, -1, value, ts)
    }

    function onDistrict(type, data, ts) {
        if (type === "create" || type === "edit")
            db().saveDistricts([data], ts)
        else if (type === "remove")
            db().deleteDistrict(data._id, ts)
    }

    function onHashtag(type, data, ts) {
        if (type === "create" || type === "edit")
            db().saveHashtags([data], ts)
        else if (type === "remove")
            db().deleteHashtag(data._id, ts)
    }

    function onContact(type, data, ts) {
        if (type === "create" || type === "edit")
            db().saveContacts([data], ts)
        else if (type === "delete")
            db().deleteContact(data._id)
    }

    function onNote(type, data, ts) {
        var database = db()
        if (type === "create" || type === "edit") {
            database.saveNote(data, type === "edit")
            // A notice without a time would stamp the epoch and ask for everything again.
            if (ts > 0)
                database.updateDate(ts)
        } else if (type === "delete") {
            database.deleteNote(data._id, ts)
        }
    }

    function onActivity(type, data, ts) {
        if (type === "create")
            db().saveActivity(data, false, ts)
        else if (type === "edit")
            db().saveActivity(data, true, ts)
        else if (type === "delete")
            db().deleteActivity(data[0]._id, ts)
    }

    function onMediaLink(type, data, ts) {
        if (type === "remove")
            db().removeDocument(data.file, data.property || {}, data.account || {}, data.activity || {})
    }

    function onAccount(type, data, ts, content) {
        var database = db()
        var account = acc()
        if (type === "kick" || type === "login") {
            var agentOk = data.agent_id === undefined || data.agent_id === null || data.agent_id === ""
                    || data.agent_id === account.agentId()
            if (Number(data.platform) === socket().platform && data.user_id === account.userId() && agentOk)
                account.logout()
        } else if (type === "edit" || type === "account") {
            if (data !== null && data !== undefined) {
                database.saveUser(Records.managerUser(data, database.getUserById(data._id)), false)
                account.set(database.currentUser())
            }
        } else if (type === "agent_remove") {
            database.deleteAgent(data.remove.user_ref, data.remove.agent_ref, ts)
            var me = account.get()
            if (me && !account.isManager() && me._id === data.remove._id)
                account.logout()
        } else if (type === "agent_replace") {
            var user = Records.agentUser(data.append, account.userId(), true)
            database.saveUser(user)
            database.editAgentNumber(data.remove.user_ref, data.remove.agent_ref, data.append._id, ts)
        } else if (type === "agent_edit" || type === "agent_create") {
            account.applyAgentRecord(data, content.user_id)
        } else if (type === "agent_status") {
            var current = account.get()
            if (current && !account.isManager() && data.agent_ref && current._id === data.agent_ref._id
                    && data.status && Number(data.status.type) === 2)
                account.logout()
        } else if (type === "setting") {
            database.saveFormSettings(JSON.parse(data.setting.form), "", ts)
        } else if (type === "login_popup") {
            screens().initial("login/Index.qml", {"fromSetting": true, "step": 3})
        }
    }
}
