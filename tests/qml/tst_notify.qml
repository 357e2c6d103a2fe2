import QtQuick 2.15
import QtTest 1.2
import "qrc:/assets/syncrecords.js" as Records

// Pushed notices with a stand-in store: the queue and its refresh signals, and the handlers
// whose rules are easy to get wrong.
TestCase {
    name: "Notification"

    StandInDatabase { id: db }
    SyncSocket { id: link }
    QtObject {
        id: account
        property var current: ({"_id": "u1", "type": 100})
        property int logouts: 0
        property var applied: []
        function isManager() { return current.type === 100 }
        function userId() { return isManager() ? current._id : current.user_ref }
        function agentId() { return isManager() ? undefined : current._id }
        function get() { return current }
        function set(acc) {}
        function logout() { logouts++ }
        function applyAgentRecord(record, agency) { applied.push([record, agency]); return 1 }
    }
    QtObject {
        id: templates
        property var opened: []
        function initial(path, options) { opened.push([path, options]) }
    }

    property var note: null
    property var refreshed: []

    function init() {
        db.reset(); link.reset()
        account.current = {"_id": "u1", "type": 100}; account.logouts = 0; account.applied = []
        templates.opened = []; refreshed = []
        note = Qt.createComponent("qrc:/assets/gnotify.qml").createObject(this, {
            "database": db, "account": account, "sockets": link, "templates": templates})
        var names = ["accountNotify", "shelvesNotify", "tavorlinNotify", "propertyNotify", "districtNotify",
                     "hashtagNotify", "contactNotify", "noteNotify", "activityNotify"]
        names.forEach(function (n) {
            note[n].connect(function (data) { refreshed.push([n, data.content ? data.content.type : null]) })
        })
    }

    function cleanup() {
        if (note)
            note.destroy()
        note = null
    }

    function push(event, type, data, extra) {
        var content = {"type": type, "data": data}
        for (var k in extra || {})
            content[k] = extra[k]
        note.handleNotification(event, {"content": content, "timestamp": 500})
    }

    function test_notices_apply_in_order_and_refresh_even_when_they_fail() {
        push("district_notify", "create", {"_id": "d1"})
        push("hashtag_notify", "remove", {"_id": "h1"})
        push("activity_notify", "delete", null)
        push("media_link_notify", "remove", {"file": "a.jpg", "property": {"file_id": "f1"}})
        push("contact_notify", "unknown", {})
        compare(db.slots(), ["saveDistricts", "deleteHashtag", "removeDocument"])
        compare(db.calls[0].args, [[{"_id": "d1"}], 500])
        compare(db.calls[2].args, ["a.jpg", {"file_id": "f1"}, {}, {}])
        compare(refreshed, [["districtNotify", "create"], ["hashtagNotify", "remove"], ["activityNotify", "delete"],
                            ["contactNotify", "unknown"]], "no refresh for media links; a failed handler still refreshes")
        verify(!note.working)

        push("activity_notify", "delete", [{"_id": "ac1"}, {"_id": "ac2"}])
        compare(db.calls[3].args, ["ac1", 500])
    }

    function test_a_pushed_file_is_unseen_only_when_a_colleague_registered_it() {
        var file = {"_id": "f1", "trade_ref": 1, "status": {"is_private": false},
                    "customer_ref": {"_id": "c1", "name_family": "خریدار"}, "guard": "g1",
                    "district": [{"_id": "d1", "title": "مرکز"}, "d2"], "hashtag": [{"_id": "h1", "title": "فوری"}]}
        push("property_notify", "create", {"file": file, "register_id": "u1"})
        compare(db.slots(), ["saveContacts", "saveDistricts", "saveHashtags", "saveFiles"])
        compare(db.calls[0].args[0], [{"_id": "c1", "name_family": "خریدار"}])
        var saved = db.calls[3].args[0][0]
        compare([saved.customer_ref, saved.guard, saved.district, saved.hashtag, saved.seen],
                ["c1", "g1", ["d1", "d2"], ["h1"], undefined], "the own file keeps its seen value")
        compare(db.calls[3].args[1], 500)

        var seenOf = function (type, f, registrar) {
            db.reset()
            push("property_notify", type, {"file": f, "register_id": registrar})
            return db.callsOf("saveFiles")[0].args[0][0].seen
        }
        compare(seenOf("create", {"_id": "f2", "trade_ref": 2}, "a7"), false)
        compare(seenOf("create", {"_id": "f3", "trade_ref": 9}, "a7"), undefined, "archived")
        compare(seenOf("create", {"_id": "f4", "trade_ref": 2, "status": {"is_private": true}}, "a7"), undefined, "private")
        compare(seenOf("edit", {"_id": "f5", "trade_ref": 2}, "a7"), undefined)
        compare(seenOf("send", {"_id": "f6", "trade_ref": 12}, "u1"), false)
        account.current = {"_id": "a7", "type": 0, "user_ref": "u1"}
        compare(seenOf("create", {"_id": "f7", "trade_ref": 2}, "a7"), undefined, "an agent's own file")
        compare(db.callsOf("saveContacts")[0].args[0], [], "the contacts are saved even when there are none")
    }

    function test_shelf_notices_rename_the_shelf_id_at_any_depth() {
        push("shelf_notify", "edit", {"shelf_id": "s1", "name": "قفسه", "inner": [{"shelf_id": "s2"}]})
        compare(db.calls[0].args[0], {"_id": "s1", "name": "قفسه", "inner": [{"_id": "s2"}]})
        push("shelf_notify", "shelf_tavorlin", {"shelf_id": "s1", "tavorlin_add": [{"tavorlin_id": "t1"}, {"tavorlin_id": "t2"}],
                                               "tavorlins": {"a": {"_id": "t1"}, "b": {"_id": "t2"}}, "tavorlin_remove": ["t0"]})
        compare(db.calls[1].args, [[{"_id": "t1"}, {"_id": "t2"}]])
        compare(db.calls[2].args, ["s1", ["t1", "t2"], ["t0"], 500])
        compare(Records.renameKey({"_id": "old", "shelf_id": "new"}, "shelf_id", "_id"), {"_id": "new"})
    }

    function test_account_notices_log_out_only_this_account_here() {
        push("account_notify", "kick", {"platform": 128, "user_id": "u1"})
        push("account_notify", "kick", {"platform": 64, "user_id": "u2"})
        compare(account.logouts, 0)
        push("account_notify", "login", {"platform": 64, "user_id": "u1", "agent_id": ""})
        compare(account.logouts, 1)

        push("upload_notify", "agent_edit", {"agent_ref": {"_id": "a1"}, "access": 1024}, {"user_id": "u1"})
        compare(account.applied, [[{"agent_ref": {"_id": "a1"}, "access": 1024}, "u1"]])

        push("account_notify", "agent_replace", {"append": {"_id": "a9", "agent_ref": {"_id": "a9"}, "access": 6, "setting": {"form": "[]"}},
                                                 "remove": {"user_ref": "u1", "agent_ref": "a1"}})
        compare(db.calls.map(function (c) { return c.slot }), ["saveUser", "editAgentNumber"])
        compare(db.calls[0].args[0], {"_id": "a9", "user_ref": "u1", "access": 6, "setting": {"form": "[]"}})
        compare(db.calls[1].args, ["u1", "a1", "a9", 500])

        account.current = {"_id": "a1", "type": 0, "user_ref": "u1"}
        push("account_notify", "agent_status", {"agent_ref": {"_id": "a1"}, "status": {"type": 1}})
        compare(account.logouts, 1)
        push("account_notify", "agent_status", {"agent_ref": {"_id": "a1"}, "status": {"type": 2}})
        compare(account.logouts, 2)
        push("account_notify", "login_popup", {})
        compare(templates.opened, [["login/Index.qml", {"fromSetting": true, "step": 3}]])
        compare(refreshed.length, 8)
    }

    function test_notes_stamp_only_with_a_time() {
        push("note_notify", "edit", {"_id": "n1"})
        note.handleNotification("note_notify", {"content": {"type": "create", "data": {"_id": "n2"}}})
        compare(db.calls.map(function (c) { return c.slot + " " + JSON.stringify(c.args) }),
                ["saveNote [{\"_id\":\"n1\"},true]", "updateDate [500]", "saveNote [{\"_id\":\"n2\"},false]"])
    }

    function test_a_held_stamp_applies_the_change_without_its_time() {
        note.holdStamp = true
        push("note_notify", "edit", {"_id": "n1"})
        push("hashtag_notify", "remove", {"_id": "h1"})
        compare(db.callsOf("updateDate"), [])
        compare(db.callsOf("deleteHashtag")[0].args, ["h1", -1])
        note.holdStamp = false
    }

    function test_a_list_that_is_not_an_array_fails_the_notice_unsaved() {
        push("shelf_notify", "shelf_tavorlin", {"shelf_id": "s1", "tavorlin_add": [{"tavorlin_id": "t1"}],
                                               "tavorlins": {"a": {"_id": "t1"}}, "tavorlin_remove": {"0": "t0"}})
        push("property_notify", "clean", {"trade_id": 1, "property_id": 2, "filter": "room"})
        compare(db.calls, [], "nothing saved, nothing stamped")
        push("shelf_notify", "shelf_tavorlin", {"shelf_id": "s1", "tavorlin_add": [], "tavorlin_remove": null})
        compare(db.calls[0].args, ["s1", [], [], 500], "an empty or missing list is a change of nothing")
    }
}
