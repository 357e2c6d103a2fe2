import QtQuick 2.15
import QtTest 1.2

// The incremental update with stand-ins: the save chain and its order, the stamp rule, the reset,
// the busy flag with the held notices, and a request lost with the link.
TestCase {
    name: "Updates"

    StandInDatabase { id: db }
    SyncSocket { id: link }
    QtObject {
        id: account
        property var current: ({"_id": "u1", "type": 100})
        property var sets: []
        function parentServerId() { return "u1" }
        function set(acc) { sets.push(acc); current = acc }
        function get() { return current }
    }
    QtObject {
        id: consts
        property bool initial_busy: false
        property var pending_notifies: []
        property var applied: []
        function applyPendingNotifies() { applied.push(pending_notifies.length); pending_notifies = [] }
        property var holds: []
        function hold(n) { holds = holds.concat([n]); initial_busy = true }
        function isHeld(n) { return holds.indexOf(n) !== -1 }
        function release(n, replay) {
            var h = holds.slice(); var i = h.indexOf(n)
            if (i !== -1) h.splice(i, 1)
            holds = h
            if (h.length === 0) { initial_busy = false; if (replay !== false) applyPendingNotifies() }
        }
    }
    QtObject {
        id: notifier
        property bool holdStamp: false
    }
    QtObject {
        id: settings
        property int clears: 0
        function clear() { clears++ }
    }
    QtObject {
        id: templates
        property var replaced: []
        function replace(path) { replaced.push(path) }
    }

    property var up: null
    property int ends: 0

    function init() {
        db.reset(); link.reset()
        account.sets = []; consts.initial_busy = false; consts.holds = []; consts.pending_notifies = []; consts.applied = []
        settings.clears = 0; templates.replaced = []; ends = 0; notifier.holdStamp = false
        up = Qt.createComponent("qrc:/assets/gupdate.qml").createObject(this, {
            "database": db, "sockets": link, "account": account, "consts": consts,
            "settings": settings, "templates": templates, "notifier": notifier})
        up.endUpdate.connect(function () { ends++ })
    }

    function cleanup() {
        if (up)
            up.destroy()
        up = null
    }

    function everything() {
        return {
            "account": {"_id": "u1", "name_family": "مدیر", "user_ref": "x"},
            "agent": [{"agent_ref": {"_id": "a1"}, "access": 6, "type": 0, "status": {"type": 1}, "setting": {"form": "[{\"key\":3}]"}}],
            "contact": [{"_id": "c1"}], "district": [{"_id": "d1"}], "hashtag": [{"_id": "h1"}],
            "note": [{"_id": "n1"}], "activity": [{"_id": "ac1"}], "tavorlin": [{"_id": "t1"}],
            "shelf": [{"_id": "s1"}], "properties": [{"_id": "f1"}], "unseen": [{"code": 7}]
        }
    }

    function test_the_chain_saves_in_order_and_stamps_the_reply_time() {
        up.start()
        verify(consts.initial_busy)
        verify(up.init_loading_view)
        compare(link.last(), {"name": "initial_upgrade", "content": {"user_id": "u1", "updated_at": "123", "page": 1}, "payload": {"page": 1}})
        consts.pending_notifies = [{"event": "note_notify", "data": {}}]
        link.reply("initial_upgrade", everything(), {"page": 1}, 777)
        compare(db.slots(), ["getUpdateDate", "saveUsers", "saveContacts", "saveDistricts", "saveHashtags", "saveNotes",
                             "saveActivities", "saveTavorlins", "saveShelves", "saveFiles", "unseen"])
        compare(db.calls[1].args[0], [{"_id": "u1", "name_family": "مدیر", "type": 100},
            {"_id": "a1", "user_ref": "u1", "access": 6, "type": 0, "status": {"type": 1}, "setting": {"form": "[{\"key\":3}]"}}])
        compare(db.calls[9].args[0], [{"_id": "f1"}])
        verify(consts.initial_busy, "busy until the unseen marks are saved")
        compare(ends, 0)

        db.answer()
        compare(db.callsOf("updateDate").map(function (c) { return c.args[0] }), [777])
        compare(db.slots().slice(-2), ["updateDate", "initial"], "the next update reads the new stamp")
        verify(!consts.initial_busy)
        verify(!up.init_loading_view)
        compare(consts.applied, [1], "the held notices are applied after the update")
        compare(account.sets.length, 1)
        compare(ends, 1)

        // The same request name again within the process carries no page.
        up.start()
        compare(link.last().content, {"user_id": "u1", "updated_at": "123"})
        compare(link.last().payload, {})
    }

    function test_a_failed_save_keeps_the_stamp_where_it_was() {
        up.start()
        db.fail("saveContacts", "can't start transaction")
        link.reply("initial_upgrade", everything(), {"page": 1}, 777)
        verify(db.slots().indexOf("saveFiles") !== -1, "the other kinds are still saved")
        db.answer()
        compare(db.callsOf("updateDate"), [])
        verify(!consts.initial_busy)
        compare(ends, 1)
        verify(notifier.holdStamp, "held notices must not stamp past the missing changes")

        // The next update that goes through releases the notices' stamps again.
        up.start()
        link.reply("initial_upgrade", everything(), {"page": 1}, 779)
        db.answer()
        compare(db.callsOf("updateDate").map(function (c) { return c.args[0] }), [779])
        verify(!notifier.holdStamp)

        cleanup(); init()
        up.start()
        db.fail("unseen", "can't start transaction")
        link.reply("initial_upgrade", everything(), {"page": 1}, 778)
        db.answer()
        compare(db.callsOf("updateDate"), [], "nor when the unseen marks fail")
        verify(!consts.initial_busy)
    }

    function test_an_empty_or_broken_reply_finishes_unstamped() {
        up.start()
        link.reply("initial_upgrade", null)
        compare(db.callsOf("updateDate"), [])
        verify(!consts.initial_busy)
        compare(ends, 1)

        up.start()
        var broken = everything()
        broken.agent = [null]
        link.reply("initial_upgrade", broken, {}, 5)
        compare(db.callsOf("saveUsers"), [])
        compare(db.callsOf("updateDate"), [])
        verify(notifier.holdStamp)
        verify(!consts.initial_busy)
        compare(ends, 2)
    }

    function test_a_list_that_is_not_an_array_is_a_failed_step() {
        var shapes = [["contact", {"_id": "c1"}, "saveContacts"], ["properties", "f1", "saveFiles"],
                      ["agent", {"agent_ref": {"_id": "a1"}}, "saveUsers"], ["unseen", 7, "unseen"]]
        for (var i = 0; i < shapes.length; ++i) {
            cleanup(); init()
            up.start()
            var broken = everything()
            broken[shapes[i][0]] = shapes[i][1]
            link.reply("initial_upgrade", broken, {"page": 1}, 777)
            db.answer()
            if (shapes[i][2] !== "unseen")
                compare(db.callsOf(shapes[i][2]), [], shapes[i][0])
            verify(db.callsOf("saveShelves").length === 1, "the other kinds are still saved")
            compare(db.callsOf("updateDate"), [], shapes[i][0])
            verify(notifier.holdStamp)
            compare(ends, 1)
        }

        // Empty and missing lists are no change and still stamp.
        cleanup(); init()
        up.start()
        link.reply("initial_upgrade", {"account": {"_id": "u1"}, "contact": [], "properties": null}, {"page": 1}, 778)
        db.answer()
        compare(db.callsOf("saveContacts")[0].args, [[]])
        compare(db.callsOf("updateDate").map(function (c) { return c.args[0] }), [778])
    }

    function test_a_reset_wipes_the_account_and_its_held_notices() {
        up.start()
        consts.pending_notifies = [{"event": "property_notify", "data": {}}]
        link.reply("initial_upgrade", {"reset": true, "properties": [{"_id": "f1"}]})
        compare(link.leaves, 1)
        compare(account.sets, [null])
        compare(settings.clears, 1)
        compare(db.slots(), ["getUpdateDate", "removeDb"])
        compare(consts.pending_notifies, [])
        compare(consts.applied, [])
        verify(!consts.initial_busy)
        compare(templates.replaced, ["SplashDesktop.qml"])
        compare(ends, 0)
    }

    function test_the_update_waits_for_the_link_and_asks_once_per_link() {
        link.drop()
        up.start()
        verify(!consts.initial_busy, "offline nothing starts and nothing blocks the window")
        compare(link.sent, [])

        link.relink()
        up.start()
        up.start()
        compare(link.names(), ["initial_upgrade"])
        link.drop()
        link.relink()
        compare(link.names(), ["initial_upgrade", "initial_upgrade"], "asked again on the new link")
        up.start()
        compare(link.names().length, 2, "the start after the token check adds nothing")
        link.reply("initial_upgrade", everything(), {}, 9)
        link.reply("initial_upgrade", everything(), {}, 9)
        compare(db.callsOf("saveFiles").length, 1, "one reply is saved once")
    }
}
