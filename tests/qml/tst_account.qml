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

    readonly property var owner: ({"_id": "u1", "name_family": "مدیر", "mobile": "09120000001", "type": 100,
                                   "sync_data": true, "access": 0, "map": {"lat": 35.7, "lng": 51.4},
                                   "device": [{"token": "t-owner"}]})

    function agentOf(parent, id, type, access) {
        return {"_id": id, "name_family": "کارشناس " + id, "mobile": "0912" + id, "type": type, "access": access,
                "user_ref": parent._id, "parent": parent, "sync_data": parent.sync_data, "device": [{"token": ""}]}
    }

    function reset() {
        store.rows = []
        store.calls = []
        store.saved = []
        store.nextId = 1
        store.failSave = null
        sockets.sent = []
        sockets.senders = []
        sockets.handlers = {}
        templates.replaced = []
        utilities.closes = 0
    }

    function makeAccount() {
        var component = Qt.createComponent("qrc:/assets/gaccount.qml")
        compare(component.status, Component.Ready, component.errorString())
        var acc = component.createObject(this, {"database": store, "sockets": sockets, "templates": templates,
                                                "utilities": utilities})
        verify(acc !== null)
        sockets.account = acc
        return acc
    }

    function test_start_up_takes_the_stores_current_account() {
        reset()
        var acc = makeAccount()
        compare(acc.get(), null, "an error object is no account")
        verify(!acc.isManager() && !acc.isAgent(), "no account has no role, not the agent's code 0")
        compare(acc.userId(), undefined)
        acc.destroy()

        store.add(owner, 0, true)
        acc = makeAccount()
        compare(acc.get()._id, "u1")
        verify(acc.isManager())
        acc.destroy()

        var broken = {"currentUser": function () { throw new Error("store closed") }}
        var component = Qt.createComponent("qrc:/assets/gaccount.qml")
        acc = component.createObject(this, {"database": broken})
        compare(acc.get(), null)
        acc.destroy()
    }

    function test_set_refuses_an_error_object() {
        reset()
        var acc = makeAccount()
        acc.set(owner)
        compare(acc.set({"error": "no user was found for that query!"}), null)
        compare(acc.get(), null)
        acc.destroy()
    }

    function test_ids_of_a_manager_and_of_an_agent() {
        reset()
        var acc = makeAccount()
        acc.set(owner)
        compare(acc.userId(), "u1")
        compare(acc.agentId(), undefined)
        compare(acc.parentServerId(), "u1")
        compare(acc.user()._id, "u1")
        verify(acc.syncedData())
        compare(acc.getToken(), "t-owner")
        verify(acc.hasValidLocation())
        // A manager's requests carry no agent id at all.
        compare(JSON.stringify({"user_id": acc.userId(), "agent_id": acc.agentId()}), "{\"user_id\":\"u1\"}")

        var unsynced = JSON.parse(JSON.stringify(owner))
        unsynced.sync_data = false
        unsynced.map = {"lat": 0, "lng": 51.4}
        acc.set(agentOf(unsynced, "a1", 0, 0))
        compare(acc.userId(), "u1")
        compare(acc.agentId(), "a1")
        compare(acc.parentServerId(), "u1")
        compare(acc.user()._id, "u1")
        verify(!acc.syncedData(), "an agent reads its agency's download mark")
        verify(!acc.hasValidLocation(), "one coordinate of 0 is no location")
        compare(acc.getToken(), null, "an empty token is none")

        acc.set({"_id": "a2", "type": 0, "user_ref": "u9"})
        compare(acc.parentServerId(), undefined, "an agent whose agency row is missing")
        compare(acc.user(), null)
        verify(!acc.syncedData())
        verify(!acc.hasValidLocation())
        acc.destroy()
    }

    function test_image_path() {
        reset()
        var acc = makeAccount()
        acc.set({"_id": "u1", "type": 100, "image": ""})
        compare(acc.getImagePath(), "")
        acc.set({"_id": "u1", "type": 100, "image": "/tmp/me.jpg"})
        compare(acc.getImagePath(), "/tmp/me.jpg")
        acc.destroy()
    }

    function test_access_bits() {
        reset()
        var acc = makeAccount()
        acc.set(agentOf(owner, "a1", 0, 6))
        verify(acc.hasAccess(acc.agentAccess.EDIT))
        acc.set(agentOf(owner, "a1", 0, 2))
        verify(!acc.hasAccess(acc.agentAccess.EDIT))
        verify(acc.hasAccess(acc.agentAccess.ADD))
        // The three platform bits are the envelope's platform codes.
        compare(acc.agentAccess.LOGIN_WITH_WINDOWS, 64)
        compare(acc.agentAccess.LOGIN_WITH_ANDROID, 128)
        compare(acc.agentAccess.LOGIN_WITH_IOS, 256)
        acc.destroy()
    }

    // Roles × bits × whose file: the agent's own, a colleague's, a secretary's, another agency's.
    function test_access_matrix() {
        reset()
        var acc = makeAccount()
        var bits = acc.agentAccess
        var all = bits.ADD | bits.EDIT | bits.DELETE | bits.SENSITIVE_INFO | bits.PHONE_BOOK | bits.ADVANCED_SEARCH
        var files = {
            "mine": {"user_id": "u1", "agent_id": "a1"},
            "colleague": {"user_id": "u1", "agent_id": "a7", "agent": {"_id": "a7", "type": 0}},
            "secretary": {"user_id": "u1", "agent_id": "a8", "agent": {"_id": "a8", "type": 1}},
            "foreign": {"user_id": "u2", "agent_id": "a1"}
        }
        // [role, access, file, may edit, may delete, may see the address]
        var rows = [
            [0, 0, "mine", true, true, true],
            [0, 0, "colleague", false, false, false],
            [0, 0, "secretary", false, false, true],
            [0, bits.EDIT, "colleague", true, false, false],
            [0, bits.DELETE, "colleague", false, true, false],
            [0, bits.SENSITIVE_INFO, "colleague", false, false, true],
            [0, all, "foreign", false, false, false],
            [1, 0, "mine", true, true, true],
            [1, 0, "colleague", false, false, false],
            [1, all, "foreign", false, false, false],
            [2, 0, "colleague", true, true, true],
            [2, all, "foreign", false, false, false],
            [100, 0, "colleague", true, true, true],
            [100, 0, "foreign", false, false, false]
        ]
        for (var i = 0; i < rows.length; ++i) {
            var r = rows[i]
            var who = r[0] === 100 ? JSON.parse(JSON.stringify(owner)) : agentOf(owner, "a1", r[0], r[1])
            acc.set(who)
            var file = files[r[2]]
            var label = "role " + r[0] + ", access " + r[1] + ", " + r[2] + ": "
            compare(acc.canEditFile(file) === undefined, r[3], label + "edit")
            compare(acc.canDeleteFile(file), r[4], label + "delete")
            compare(acc.canArchiveFile(file), r[4], label + "archive")
            compare(acc.canSeeFileAddress(file), r[5], label + "address")
        }

        acc.set(agentOf(owner, "a1", 0, 0))
        compare(acc.canAddFile(), "دسترسی شما به این بخش توسط مدیریت قطع شده است.")
        compare(acc.canEditFile(files.colleague), "امکان ویرایش فایلهای دیگران وجود ندارد.")
        verify(!acc.canSeePhoneBook() && !acc.canUseAdvancedSearch() && !acc.canSeeSensitiveInfo())
        acc.set(agentOf(owner, "a1", 0, bits.ADD | bits.PHONE_BOOK | bits.ADVANCED_SEARCH))
        compare(acc.canAddFile(), undefined)
        verify(acc.canSeePhoneBook() && acc.canUseAdvancedSearch() && !acc.canSeeSensitiveInfo())
        acc.set(agentOf(owner, "a1", 2, 0))
        verify(acc.canAdd() && acc.canSeePhoneBook() && acc.isManagerLevel())

        // Without an account, or an account without ids, nothing is ours, not even a file without owner.
        acc.set(null)
        verify(!acc.isOurFile({}))
        verify(!acc.canDeleteFile({}))
        acc.set({"type": 100})
        verify(!acc.isOurFile({}))
        verify(!acc.isMyFile({}))
        acc.destroy()
    }

    function test_record_conversions() {
        reset()
        var acc = makeAccount()
        var manager = acc.fromManagerRecord({"_id": "u1", "type": 0, "user_ref": "x", "mobile": "0912"})
        compare(manager.type, 100)
        verify(!manager.hasOwnProperty("user_ref"))

        var record = {"agent_ref": {"_id": "a1", "mobile": "0935", "access": 999},
                      "user_ref": {"_id": "u1", "name_family": "مدیر"}, "access": 6, "type": 1,
                      "device": [{"platform": 64, "token": "t"}], "status": {"type": 1}, "setting": {"form": "[]"}}
        var agent = acc.fromAgentRecord(record)
        compare(agent._id, "a1")
        compare(agent.access, 6, "the record's access, not the person's")
        compare(agent.type, 1)
        compare(agent.user_ref._id, "u1")
        compare(agent.user_ref.type, 100, "the owner is stored as a manager")
        compare(agent.setting, {"form": "[]"})
        compare(agent.device, [{"platform": 64, "token": "t"}])
        compare(record.user_ref.type, undefined, "the server's record is left as it came")
        delete record.setting
        verify(!acc.fromAgentRecord(record).hasOwnProperty("setting"))
        compare(acc.fromAgentRecord(record, "u5").user_ref, "u5")
        acc.destroy()
    }

    // A one-device record logs out the agent it is about, and only that agent.
    function test_one_device_record() {
        reset()
        // The agency's row is there, but only the agent is logged in.
        var ownerId = store.add(owner, 0)
        var meId = store.add({"_id": "a1", "mobile": "09121", "type": 0, "access": 2}, ownerId, true)
        var acc = makeAccount()
        compare(acc.agentId(), "a1")
        var oneDevice = acc.agentAccess.LOGIN_WITH_ONE_DEVICE | acc.agentAccess.ADD

        var id = acc.applyAgentRecord({"agent_ref": {"_id": "a2", "mobile": "09122"}, "access": oneDevice, "type": 0}, "u1")
        verify(id > 0, "a colleague's record is stored")
        compare(acc.agentId(), "a1", "and the current agent stays")
        compare(templates.replaced, [])
        compare(store.calls.indexOf("logOut " + meId), -1)

        id = acc.applyAgentRecord({"agent_ref": {"_id": "a1"}, "access": oneDevice, "type": 0}, "u9")
        verify(id > 0, "the same person's record in another agency is that agency's business")
        compare(acc.agentId(), "a1")

        id = acc.applyAgentRecord({"agent_ref": {"_id": "a1", "mobile": "09121"}, "access": 6, "type": 0}, "u1")
        compare(id, meId)
        compare(acc.get().access, 6, "an ordinary record refreshes the current account")

        store.saved = []
        compare(acc.applyAgentRecord({"agent_ref": {"_id": "a1"}, "access": oneDevice, "type": 0}, "u1"), "logout")
        compare(store.saved, [], "nothing of it is stored")
        verify(store.calls.indexOf("logOut " + meId) !== -1)
        compare(acc.get(), null)
        compare(templates.replaced[0].path, "SplashDesktop.qml")
        acc.destroy()

        // The manager who sets the bit on an agent stays logged in.
        reset()
        store.add(owner, 0, true)
        acc = makeAccount()
        verify(acc.applyAgentRecord({"agent_ref": {"_id": "a5"}, "access": oneDevice, "type": 0}, "u1") > 0)
        compare(acc.userId(), "u1")
        compare(templates.replaced, [])
        acc.destroy()
    }

    function test_logout_switches_to_the_next_account() {
        reset()
        var firstId = store.add(owner, 0, false)
        var secondId = store.add({"_id": "u2", "mobile": "09120000002", "type": 100, "device": [{"token": "t2"}]}, 0, true)
        var acc = makeAccount()
        compare(acc.userId(), "u2")
        acc.logout()
        compare(sockets.names(), ["leave", "validity_token"])
        compare(sockets.senders[0], "u2", "the server hears who leaves")
        compare(sockets.last("validity_token"), {"token": "t-owner"}, "and checks who takes over")
        verify(store.calls.indexOf("logOut " + secondId) !== -1)
        verify(store.calls.indexOf("changeCurrentUser " + firstId) !== -1)
        verify(store.calls.indexOf("initial") !== -1)
        compare(acc.userId(), "u1")
        compare(templates.replaced, [{"path": "login/Index.qml", "options": {"fromSetting": true, "step": 3}}])
        compare(utilities.closes, 1)

        templates.replaced = []
        sockets.sent = []
        acc.logout()
        compare(acc.get(), null)
        compare(store.getLoggedInUsers(), [])
        compare(sockets.names(), ["leave"])
        compare(templates.replaced[0].path, "SplashDesktop.qml")
        compare(utilities.closes, 2)
        acc.destroy()
    }

    function test_logout_goes_on_when_the_link_fails() {
        reset()
        store.add(owner, 0, true)
        var acc = makeAccount()
        var deadLink = {"leave": function () { throw new Error("socket closed") }}
        acc.sockets = deadLink
        acc.logout()
        compare(acc.get(), null)
        compare(templates.replaced[0].path, "SplashDesktop.qml")
        compare(utilities.closes, 1)
        acc.destroy()
    }
}
