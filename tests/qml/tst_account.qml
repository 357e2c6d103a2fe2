import QtQuick 2.15
import QtTest 1.2

// The current account: start-up, ids, the access matrix, pushed agent records and logout.
TestCase {
    name: "Account"

    AccountStore { id: store }
    AccountSocket { id: sockets }
    QtObject {
        id: templates
        property var replaced: []
        function replace(path, options) { replaced.push({"path": path, "options": options || {}}) }
    }
    QtObject {
        id: utilities
        property int closes: 0
        function closeAllDialogs() { closes++ }
    }

    readonly property var owner: ({"_id": "u1", "mobile": "09120000001", "type": 100, "sync_data": true,
                                   "map": {"lat": 35.7, "lng": 51.4}, "device": [{"token": "t-owner"}]})

    function agentOf(id, type, access) {
        return {"_id": id, "type": type, "access": access, "user_ref": "u1", "parent": owner, "device": [{"token": ""}]}
    }

    function makeAccount(database) {
        store.reset(); sockets.reset(); templates.replaced = []; utilities.closes = 0
        var acc = Qt.createComponent("qrc:/assets/gaccount.qml").createObject(this, {
            "database": database || store, "sockets": sockets, "templates": templates, "utilities": utilities})
        sockets.account = acc
        return acc
    }

    function test_start_up_takes_no_error_object_for_an_account() {
        var acc = makeAccount()
        compare(acc.get(), null)
        verify(!acc.isAgent(), "no account is not an agent of code 0")
        store.add(owner, 0, true)
        acc.load()
        compare(acc.userId(), "u1")
        acc.set({"error": "no user was found for that query!"})
        compare(acc.get(), null)
        acc = makeAccount({"currentUser": function () { throw new Error("store closed") }})
        compare(acc.get(), null)
    }

    function test_ids_of_a_manager_and_of_an_agent() {
        var acc = makeAccount()
        acc.set(owner)
        compare([acc.userId(), acc.agentId(), acc.parentServerId(), acc.syncedData()], ["u1", undefined, "u1", true])
        compare(JSON.stringify({"user_id": acc.userId(), "agent_id": acc.agentId()}), "{\"user_id\":\"u1\"}")
        compare(acc.getToken(), "t-owner")
        verify(acc.hasValidLocation())
        acc.set(agentOf("a1", 0, 0))
        compare([acc.userId(), acc.agentId(), acc.parentServerId(), acc.user()._id], ["u1", "a1", "u1", "u1"])
        verify(acc.syncedData(), "an agent reads its agency's download mark")
        compare(acc.getToken(), null, "an empty token is none")
        acc.set({"_id": "a2", "type": 0, "user_ref": "u9", "map": {"lat": 1, "lng": 1}})
        compare([acc.parentServerId(), acc.user(), acc.syncedData(), acc.hasValidLocation()], [undefined, null, false, false])
    }

    // Roles × bits × whose file: the agent's own, a colleague's, a secretary's, another agency's.
    function test_access_matrix() {
        var acc = makeAccount()
        var b = acc.agentAccess
        var all = b.ADD | b.EDIT | b.DELETE | b.SENSITIVE_INFO | b.PHONE_BOOK | b.ADVANCED_SEARCH
        var files = {"mine": {"user_id": "u1", "agent_id": "a1"},
                     "colleague": {"user_id": "u1", "agent_id": "a7", "agent": {"type": 0}},
                     "secretary": {"user_id": "u1", "agent_id": "a8", "agent": {"type": 1}},
                     "foreign": {"user_id": "u2", "agent_id": "a1"}}
        // role, access, file: may edit, may delete and archive, may see the address
        var rows = [[0, 0, "mine", true, true, true], [0, 0, "colleague", false, false, false],
                    [0, 0, "secretary", false, false, true], [0, b.EDIT, "colleague", true, false, false],
                    [0, b.DELETE, "colleague", false, true, false], [0, b.SENSITIVE_INFO, "colleague", false, false, true],
                    [1, 0, "colleague", false, false, false], [2, 0, "colleague", true, true, true],
                    [100, 0, "colleague", true, true, true]]
        for (var role = 0; role <= 100; role = role === 2 ? 100 : role + 1)
            rows.push([role, all, "foreign", false, false, false])
        rows.forEach(function (r) {
            acc.set(r[0] === 100 ? owner : agentOf("a1", r[0], r[1]))
            var f = files[r[2]], label = r.slice(0, 3).join(" ")
            compare([acc.canEditFile(f) === undefined, acc.canDeleteFile(f), acc.canArchiveFile(f), acc.canSeeFileAddress(f)],
                    [r[3], r[4], r[4], r[5]], label)
        })
        acc.set(agentOf("a1", 0, 6))
        verify(acc.hasAccess(b.EDIT))
        acc.set(agentOf("a1", 0, 2))
        verify(!acc.hasAccess(b.EDIT))
        compare(acc.canAddFile(), undefined)
        acc.set(agentOf("a1", 0, 0))
        compare(acc.canAddFile(), "دسترسی شما به این بخش توسط مدیریت قطع شده است.")
        compare(acc.canEditFile(files.colleague), "امکان ویرایش فایلهای دیگران وجود ندارد.")
        acc.set({"type": 100})
        verify(!acc.isOurFile({}), "no agency id owns no file, not even one without owner")
    }

    function test_agent_record_conversion() {
        var acc = makeAccount()
        var record = {"agent_ref": {"_id": "a1", "access": 999}, "user_ref": {"_id": "u1"}, "access": 6, "type": 1,
                      "device": [{"platform": 64, "token": "t"}], "status": {"type": 1}, "setting": {"form": "[]"}}
        var a = acc.fromAgentRecord(record)
        compare([a._id, a.access, a.type, a.user_ref._id, a.user_ref.type, a.setting.form], ["a1", 6, 1, "u1", 100, "[]"])
        compare(record.user_ref.type, undefined, "the server's record is left as it came")
        var m = acc.fromManagerRecord({"_id": "u1", "user_ref": "x"})
        compare([m.type, m.hasOwnProperty("user_ref")], [100, false])
    }

    // A one-device record logs out the agent it is about, and no one else.
    function test_one_device_record() {
        var acc = makeAccount()
        var agency = store.add(owner, 0)
        var me = store.add({"_id": "a1", "type": 0, "access": 2}, agency, true)
        acc.load()
        var oneDevice = acc.agentAccess.LOGIN_WITH_ONE_DEVICE | acc.agentAccess.ADD
        verify(acc.applyAgentRecord({"agent_ref": {"_id": "a2"}, "access": oneDevice, "type": 0}, "u1") > 0, "a colleague's")
        verify(acc.applyAgentRecord({"agent_ref": {"_id": "a1"}, "access": oneDevice, "type": 0}, "u9") > 0, "another agency's")
        compare(acc.applyAgentRecord({"agent_ref": {"_id": "a1"}, "access": 6, "type": 0}, "u1"), me)
        compare(acc.get().access, 6, "an ordinary record refreshes the current account")
        store.saved = []
        compare(acc.applyAgentRecord({"agent_ref": {"_id": "a1"}, "access": oneDevice, "type": 0}, "u1"), "logout")
        compare(store.saved, [], "nothing of it is stored")
        compare(acc.get(), null)

        acc = makeAccount()
        store.add(owner, 0, true)
        acc.load()
        verify(acc.applyAgentRecord({"agent_ref": {"_id": "a5"}, "access": oneDevice, "type": 0}, "u1") > 0)
        compare([acc.userId(), templates.replaced.length], ["u1", 0], "the manager who set the bit stays")
    }

    function test_logout_switches_to_the_next_account_then_to_the_splash() {
        var acc = makeAccount()
        var first = store.add(owner, 0, false)
        store.add({"_id": "u2", "type": 100}, 0, true)
        acc.load()
        acc.logout()
        compare(sockets.sent.map(function (s) { return s.name + " " + s.from }), ["leave u2", "validity_token u1"])
        var order = store.calls.map(function (c) { return [c.slot].concat(c.args).join(" ") })
        verify(order.indexOf("changeCurrentUser " + first) < order.lastIndexOf("initial"))
        compare(acc.userId(), "u1")
        compare(templates.replaced, [{"path": "login/Index.qml", "options": {"fromSetting": true, "step": 3}}])
        // The link is down now: the logout goes on without it.
        acc.sockets = {"leave": function () { throw new Error("socket closed") }}
        acc.logout()
        compare(acc.get(), null)
        compare(store.getLoggedInUsers(), [])
        compare(templates.replaced[1].path, "SplashDesktop.qml")
        compare(utilities.closes, 2)
    }
}
