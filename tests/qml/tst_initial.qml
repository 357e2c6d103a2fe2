import QtQuick 2.15
import QtTest 1.2

// The first full download with stand-ins for the store and the server link: step order, paging,
// retries, failures, lost requests and the stamp.
TestCase {
    name: "Initialz"

    StandInDatabase { id: db }
    SyncSocket { id: link }
    QtObject {
        id: account
        property var agent: undefined
        function userId() { return "u1" }
        function agentId() { return agent }
        function parentServerId() { return "u1" }
        property var sets: []
        function set(acc) { sets.push(acc) }
    }
    QtObject {
        id: toast
        property var shown: []
        function show(text) { shown.push(text) }
    }

    property var ini: null
    property var progressed: []
    property int ends: 0
    property var failures: []

    readonly property var order: ["initial_agent", "initial_customer", "initial_district", "initial_hashtag",
        "initial_note", "initial_activity", "initial_tavorlin", "initial_shelf", "initial_property", "initial_seen"]
    readonly property var saves: ["initialSaveUsers", "initialSaveContacts", "initialSaveDistricts",
        "initialSaveHashtags", "initialSaveNotes", "initialSaveActivities", "initialSaveTavorlins",
        "initialSaveShelves", "initialSaveFiles", "unseen"]

    function init() {
        db.reset(); link.reset(); toast.shown = []; account.agent = undefined; account.sets = []
        progressed = []; ends = 0; failures = []
        ini = Qt.createComponent("qrc:/assets/ginitial.qml").createObject(this, {
            "database": db, "sockets": link, "account": account, "toast": toast})
        ini.progress.connect(function (max, value) { progressed.push([max, value]) })
        ini.end.connect(function () { ends++ })
        ini.failed.connect(function (message) { failures.push(message) })
    }

    function cleanup() {
        if (ini) {
            ini.detach()
            ini.destroy()
        }
        ini = null
    }

    function items(n, prefix) {
        var list = []
        for (var i = 0; i < n; ++i)
            list.push({"_id": prefix + i})
        return list
    }

    function lastPage() {
        var last = link.last()
        return last ? last.content.page : undefined
    }

    // Serves one step of `total` records page by page, answering each save.
    function serve(name, total) {
        var left = total
        for (;;) {
            var last = link.last()
            compare(last.name, name)
            compare(last.payload, {"page": last.content.page})
            var n = Math.min(1000, left)
            var before = link.sent.length
            verify(link.reply(name, {"list": items(n, name + last.content.page + "-")}, {"page": last.content.page}, 1000 + last.content.page))
            compare(link.sent.length, before, "the next page waits for the save")
            verify(db.answer())
            left -= n
            if (n < 1000)
                return
        }
    }

    function test_steps_run_in_order_with_pages_of_a_thousand() {
        ini.start()
        compare(link.names(), ["initial_count"])
        compare(link.last().content, {"user_id": "u1", "page": 1}, "a manager sends no agent_id")
        link.reply("initial_count", {"count": 5700})
        compare(progressed, [[5700, 0]])

        var sizes = {"initial_customer": 2500, "initial_note": 1000, "initial_property": 2000}
        for (var i = 0; i < order.length; ++i)
            serve(order[i], sizes[order[i]] !== undefined ? sizes[order[i]] : 3)

        var pages = link.sent.map(function (s) { return s.name + " " + s.content.page })
        compare(pages.filter(function (p) { return p.indexOf("initial_customer") === 0 }),
                ["initial_customer 1", "initial_customer 2", "initial_customer 3"])
        compare(pages.filter(function (p) { return p.indexOf("initial_note") === 0 }),
                ["initial_note 1", "initial_note 2"], "a full page is followed by one more request")
        compare(db.slots().slice(-2), ["updateDate", "initial"], "the stamp, then the cached rows again")
        compare(account.sets.length, 1, "the account is read again after the stamp")
        compare(db.slots().filter(function (s) { return s !== "updateDate" && s !== "initial" }).filter(function (s, k, all) {
            return k === 0 || all[k - 1] !== s }), saves)
        compare(progressed.slice(0, 5), [[5700, 0], [5700, 3], [5700, 1000], [5700, 1000], [5700, 500]])
        compare(db.callsOf("updateDate").map(function (c) { return c.args[0] }), [1001], "stamped with the last reply's time")
        compare(ends, 1)
        compare(failures, [])
    }

    // A page list as the socket object hands it over: not a script array, with a length.
    function nativeList(records) {
        return {"length": records.length, "toArray": function () { return records }}
    }

    function test_native_page_lists_go_to_their_save_as_they_came() {
        db.nativePages = []
        ini.start()
        link.reply("initial_count", {"count": 3})
        link.reply("initial_agent", {"list": nativeList([{"agent_ref": {"_id": "a1"}, "access": 3}])}, {"page": 1})
        compare(db.callsOf("initialSaveUsers")[0].args[0], [{"_id": "a1", "user_ref": "u1", "access": 3}],
                "the agents are made users in script")
        compare(db.nativePages.length, 0)
        verify(db.answer())
        for (var i = 1; i < order.length; ++i) {
            var list = order[i] === "initial_property" ? nativeList(items(2, "f")) : nativeList([])
            link.reply(order[i], {"list": list}, {"page": 1})
            compare(db.nativePages[db.nativePages.length - 1].save, saves[i])
            verify(db.nativePages[db.nativePages.length - 1].list === list, "the very list goes on")
            verify(db.answer())
        }
        compare(db.callsOf("initialSaveFiles")[0].args[0], items(2, "f"))
        compare(progressed.slice(0, 2), [[3, 0], [3, 1]])
        compare(ends, 1)
    }

    function test_a_count_without_count_ends_at_once() {
        ini.start()
        link.reply("initial_count", {})
        compare(ends, 1)
        compare(db.calls.length, 0, "nothing saved, nothing stamped")
        compare(link.names(), ["initial_count"])
        verify(!link.reply("initial_agent", {"list": []}), "the step handlers are gone")
    }

    function test_an_unreadable_page_is_asked_again_then_the_download_stops() {
        ini.start()
        link.reply("initial_count", {"count": 10})
        serve("initial_agent", 0)
        link.reply("initial_customer", {"list": items(1000, "c")}, {"page": 1})
        db.answer()
        compare(lastPage(), 2)
        link.reply("initial_customer", null, {"page": 2})
        compare([link.last().name, lastPage()], ["initial_customer", 2], "the same page, not page 1 nor none")
        link.reply("initial_customer", {"list": 7}, {"page": 2})
        link.reply("initial_customer", {"list": items(4, "c")}, {"page": 2})
        db.answer()
        compare(link.last().name, "initial_district", "a good answer after a retry goes on")

        for (var i = 0; i <= ini.maxAttempts; ++i) {
            compare(link.last().name, "initial_district")
            link.reply("initial_district", null, {"page": 1})
        }
        compare(failures.length, 1)
        compare(toast.shown, [ini.failedText])
        compare(link.last().name, "initial_district", "nothing more is asked")
        compare(db.callsOf("updateDate"), [])
        compare(ends, 0)
        verify(!link.reply("initial_district", {"list": []}, {"page": 1}), "the handlers are gone")
    }

    function test_a_failed_save_stops_the_download_unstamped() {
        ini.start()
        link.reply("initial_count", {"count": 10})
        serve("initial_agent", 2)
        db.fail("initialSaveContacts", "can't start transaction")
        link.reply("initial_customer", {"list": items(3, "c")}, {"page": 1})
        var sent = link.sent.length
        db.answer()
        compare(failures.length, 1)
        compare(link.sent.length, sent, "no next step")
        compare(db.callsOf("updateDate"), [])
        compare(ends, 0)

        // Another slot's failure meanwhile is not the step's.
        cleanup()
        init()
        ini.start()
        link.reply("initial_count", {"count": 10})
        link.reply("initial_agent", {"list": []}, {"page": 1})
        db.error("no user was found for that query!", "getUserById")
        db.answer()
        compare(link.last().name, "initial_customer")
        compare(failures, [])
    }

    function test_a_request_lost_with_the_link_is_sent_again() {
        ini.start()
        link.reply("initial_count", {"count": 10})
        serve("initial_agent", 1)
        link.reply("initial_customer", {"list": items(1000, "c")}, {"page": 1})
        link.drop()
        db.answer()
        compare([link.last().name, lastPage()], ["initial_customer", 1], "page 2 was dropped while offline")
        link.relink()
        compare([link.last().name, lastPage()], ["initial_customer", 2])

        // Lost after it left: the same page again on the new link, and only the one reply counts.
        link.drop()
        link.relink()
        compare([link.last().name, lastPage()], ["initial_customer", 2])
        var counted = progressed.length
        link.reply("initial_customer", {"list": items(2, "c")}, {"page": 1})
        compare(progressed.length, counted, "a reply for another page is not this one")
        link.reply("initial_customer", {"list": items(2, "c")}, {"page": 2})
        link.reply("initial_customer", {"list": items(2, "c")}, {"page": 2})
        compare(progressed.length, counted + 1, "a second reply while saving is dropped")

        // While a save runs nothing is asked again.
        var sent = link.sent.length
        link.drop()
        link.relink()
        compare(link.sent.length, sent)
        db.answer()
        compare(link.last().name, "initial_district")
    }
}
