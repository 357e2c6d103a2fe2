import QtQuick 2.15
import QtTest 1.2
import com 1.0

// The login screens against a stand-in server link: number, code, chooser, and the account they leave.
TestCase {
    id: testCase
    name: "Login"
    width: 800
    height: 800
    when: windowShown

    AccountStore { id: store }
    AccountSocket { id: sockets }

    QtObject {
        id: templates
        property var replaced: []
        function replace(path, options) { replaced.push(path) }
    }

    QtObject {
        id: toast
        property var shown: []
        function show(text) { shown.push(text) }
    }

    QtObject {
        id: utilities
        function os_name() { return "Debian GNU/Linux 12" }
        function myIP() { return "" }
        function closeAllDialogs() {}
    }

    QtObject {
        id: updates
        property int starts: 0
        function start() { starts++ }
    }

    QtObject {
        id: consts
        property var window: null
        function version() { return "TavorlinDesktop 6 . 3 . 0" }
        function fixNumbers(text) { return Consts.fixNumbers(text) }
    }

    property var account: null
    property var login: null

    readonly property var person: ({"_id": "p1", "mobile": "09121234567", "name_family": "رضا"})

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
        toast.shown = []
        updates.starts = 0
    }

    function makeAccount(database) {
        var component = Qt.createComponent("qrc:/assets/gaccount.qml")
        compare(component.status, Component.Ready, component.errorString())
        var acc = component.createObject(testCase, {"database": database, "sockets": sockets,
                                                    "templates": templates, "utilities": utilities})
        sockets.account = acc
        return acc
    }

    function makeLogin(options, database) {
        database = database || store
        account = makeAccount(database)
        var component = Qt.createComponent("qrc:/templates/login/Index.qml")
        compare(component.status, Component.Ready, component.errorString())
        var props = {"account": account, "database": database, "sockets": sockets, "templates": templates,
                     "consts": consts, "utilities": utilities, "updates": updates, "toast": toast,
                     "width": 800, "height": 800}
        for (var k in options)
            props[k] = options[k]
        login = component.createObject(testCase, props)
        verify(login !== null)
        return login
    }

    function cleanup() {
        if (login)
            login.destroy()
        if (account)
            account.destroy()
        login = null
        account = null
    }

    // Step 1 to step 2 with the stand-in number.
    function toCodeStep() {
        login.byCell.setNumber(person.mobile)
        login.byCell.submit()
        sockets.reply("mobile_check", {"sent": true})
        compare(login.step, 2)
    }

    function test_number_entry() {
        reset()
        makeLogin({})
        compare(login.step, 1)
        compare(login.byCell.countryCode, 98)
        login.byCell.setNumber("0912345678")
        login.byCell.submit()
        compare(toast.shown, ["شماره همراه صحیح را وارد کنید."], "ten digits are refused")
        compare(sockets.sent, [])

        // Persian digits count as digits.
        login.byCell.setNumber("۰۹۱۲۱۲۳۴۵۶۷")
        compare(login.byCell.number(), "09121234567")
        login.byCell.submit()
        compare(sockets.sent, [{"name": "mobile_check", "content": {"country_code": 98, "mobile": "09121234567"}}])
        sockets.reply("mobile_check", null)
        compare(login.step, 1, "a null answer stays at the number")
        login.byCell.submit()
        sockets.reply("mobile_check", {})
        compare(login.step, 2)
        compare(login.identity, "09121234567")
    }

    function test_email_entry_outside_iran() {
        reset()
        makeLogin({})
        var germany = login.byCell.indexOfCountry("DE")
        verify(germany >= 0)
        login.byCell.chooseCountry(germany)
        compare(login.byCell.countryCode, 49)
        login.byCell.emailText = "  ali@example.de "
        login.byCell.submit()
        compare(sockets.last("email_check"), {"country_code": 49, "email": "ali@example.de"})
        sockets.reply("email_check", {"ok": 1})
        compare(login.step, 2)
        compare(login.identity, "ali@example.de")
        compare(login.countryCode, 49)
    }

    function test_wrong_code() {
        reset()
        makeLogin({})
        toCodeStep()
        login.codeStep.setCode("123456")
        compare(sockets.last("verify_check"), {"country_code": 98, "code": "123456", "mobile": "09121234567"})
        sockets.reply("verify_check", {"match": false})
        compare(toast.shown, ["کد وارد شده صحیح نیست!"])
        compare(login.codeStep.code(), "", "the fields are cleared")
        compare(login.step, 2)

        // An empty answer logs nobody in either.
        login.codeStep.setCode("654321")
        sockets.reply("verify_check", null)
        compare(sockets.names().indexOf("account_login"), -1)
        compare(login.step, 2)

        // Five digits do not send the code by themselves.
        sockets.sent = []
        login.codeStep.setCode("12345")
        compare(sockets.sent, [])
    }

    function test_single_manager_logs_in_without_chooser() {
        reset()
        makeLogin({})
        toCodeStep()
        login.codeStep.setCode("111111")
        sockets.reply("verify_check", {"match": true, "account": person, "agent": []})
        var request = sockets.last("account_login")
        compare(request.country_code, "98")
        compare(request.user_id, "p1")
        verify(!request.hasOwnProperty("agent_id"))
        compare(request.mobile, "09121234567")
        compare(request.device, {"notification": "", "app": "TavorlinDesktop 6 . 3 . 0", "os": "Debian GNU/Linux 12",
                                 "ip": "", "model": "", "version": 134, "ip_version": "IP2"})
        compare(login.step, 2, "no chooser")

        var fromServer = JSON.parse(JSON.stringify(person))
        fromServer.user_ref = "stale"
        fromServer.sync_data = true
        sockets.reply("account_login", {"account": fromServer})
        compare(store.saved[0].type, 100)
        verify(!store.saved[0].hasOwnProperty("user_ref"))
        compare(account.userId(), "p1")
        verify(account.isManager())
        verify(store.calls.indexOf("initial") !== -1)
        compare(sockets.names().indexOf("leave"), -1, "nobody was logged in to leave")
        compare(sockets.last("join"), {"user_id": "p1"})
        compare(updates.starts, 1, "a synchronised account updates")
        compare(templates.replaced, ["main/Index.qml"])
    }

    function test_new_person_logs_in_without_user_id() {
        reset()
        makeLogin({})
        toCodeStep()
        login.codeStep.setCode("111111")
        sockets.reply("verify_check", {"match": true})
        var request = sockets.last("account_login")
        verify(!request.hasOwnProperty("user_id"))
        compare(request.mobile, "09121234567")
        sockets.reply("account_login", {"account": {"_id": "p9", "mobile": "09121234567"}})
        compare(account.userId(), "p9")
        compare(updates.starts, 0, "the first download is not an update")
        compare(templates.replaced, ["main/Index.qml"])
    }

    // An agent of two agencies who also owns one: the own account, then one entry per agency.
    function test_chooser_lists_the_own_account_and_each_agency() {
        reset()
        makeLogin({})
        toCodeStep()
        login.codeStep.setCode("222222")
        var agencyA = {"_id": "m1", "name_family": "مدیر یک", "mobile": "09120000001"}
        var agencyB = {"_id": "m2", "name_family": "مدیر دو", "mobile": "09120000002"}
        sockets.reply("verify_check", {"match": true, "account": person, "agent": [
            {"agent_ref": person, "user_ref": agencyA, "type": 0, "access": 6},
            {"agent_ref": person, "user_ref": agencyB, "type": 1, "access": 2}
        ]})
        compare(login.step, 3)
        compare(login.entries.length, 3)
        compare(login.entries.map(function (e) { return login.entryTitle(e) }),
                ["حساب شخصی", "مدیریت : مدیر یک", "مدیریت : مدیر دو"])
        compare(login.entryDetail(login.entries[0]), "09121234567")
        compare(login.entries[2].type, 1)

        login.choose(login.entries[2])
        compare(sockets.last("account_login"), {"country_code": "98", "user_id": "m2", "agent_id": "p1",
                                                "mobile": "09121234567", "device": login.device()})
        sockets.reply("account_login", {"agent": {"agent_ref": person, "user_ref": agencyB, "type": 1, "access": 2,
                                                  "device": [{"platform": 64, "token": "tok"}],
                                                  "status": {"type": 1, "text": ""}}})
        compare(account.userId(), "m2")
        compare(account.agentId(), "p1")
        verify(account.isSecretary())
        compare(account.get().access, 2)
        compare(store.saved[0].user_ref._id, "m2", "the agency is saved with its agent")
        compare(templates.replaced, ["main/Index.qml"])

        // The own account, chosen later from the same chooser, leaves the agency's account first.
        templates.replaced = []
        login.choose(login.entries[0])
        compare(sockets.last("account_login").user_id, "p1")
        verify(!sockets.last("account_login").hasOwnProperty("agent_id"))
        sockets.reply("account_login", {"account": person})
        var leaveAt = sockets.names().lastIndexOf("leave")
        verify(leaveAt !== -1)
        compare(sockets.senders[leaveAt], "m2", "the leave names the account that leaves")
        verify(account.isManager())
        compare(store.getLoggedInUsers().length, 2, "both stay logged in")
    }

    function test_code_resend_counts_down() {
        reset()
        makeLogin({})
        toCodeStep()
        var code = login.codeStep
        code.askAgain()
        compare(sockets.last("code_resend"), {"mobile": "09121234567"})
        compare(code.remaining, 60)
        compare(code.countdownText, "دریافت مجدد کد تاییدیه بعد از 60 ثانیه")
        code.tick()
        compare(code.countdownText, "دریافت مجدد کد 59 ثانیه")
        var sent = sockets.sent.length
        code.askAgain()
        compare(sockets.sent.length, sent, "no second code while counting")
        for (var i = 0; i < 59; ++i)
            code.tick()
        compare(code.remaining, 0)
        verify(!code.countdown.running)
        login.codeStep.correct()
        compare(login.step, 1)
    }

    function test_failed_save_stays_on_the_screen() {
        reset()
        makeLogin({})
        toCodeStep()
        login.codeStep.setCode("333333")
        sockets.reply("verify_check", {"match": true, "account": person, "agent": []})
        store.failSave = 0
        sockets.reply("account_login", {"account": person})
        compare(templates.replaced, [])
        compare(account.get(), null)
        compare(sockets.names().indexOf("join"), -1)
        compare(toast.shown.length, 1)
    }

    function test_chooser_from_the_settings_asks_for_every_logged_in_person() {
        reset()
        var m = store.add({"_id": "p1", "mobile": "09121234567", "type": 100}, 0, true)
        store.add({"_id": "p1", "mobile": "09121234567", "type": 0}, m, false)
        store.add({"_id": "p2", "mobile": "09357654321", "type": 100}, 0, false)
        store.add({"_id": "p3", "mobile": "09350000000", "type": 100}, 0)
        makeLogin({"fromSetting": true, "step": 3})
        compare(sockets.last("account_mine"), {"mobile": ["09121234567", "09357654321"]})
        sockets.reply("account_mine", {
            "account": [{"_id": "p1", "mobile": "09121234567"}, {"_id": "p2", "mobile": "09357654321"}],
            "agent": [{"agent_ref": {"_id": "p2", "mobile": "09357654321"}, "user_ref": {"_id": "p1", "name_family": "رضا"},
                       "type": 2}]
        })
        compare(login.entries.length, 3)
        compare(login.entries.map(function (e) { return e.type }), [100, 100, 2])
        compare(login.entryTitle(login.entries[2]), "مدیریت : رضا")
        login.choose(login.entries[2])
        var request = sockets.last("account_login")
        compare(request.user_id, "p1")
        compare(request.agent_id, "p2")
        compare(request.mobile, "09357654321")
    }

    // The same flow against the real store: the agent's account is saved with its agency and is current.
    function test_login_into_the_real_store() {
        reset()
        makeLogin({}, Database)
        toCodeStep()
        login.codeStep.setCode("444444")
        var agency = {"_id": "login-agency", "name_family": "مدیر بنگاه", "mobile": "09120000009", "sync_data": false}
        var me = {"_id": "login-agent", "mobile": "09121234567", "name_family": "کارشناس"}
        sockets.reply("verify_check", {"match": true, "account": me, "agent": [{"agent_ref": me, "user_ref": agency, "type": 0}]})
        login.choose(login.entries[1])
        sockets.reply("account_login", {"agent": {"agent_ref": me, "user_ref": agency, "type": 0, "access": 6,
                                                  "device": [{"platform": 64, "token": "win-token"}],
                                                  "status": {"type": 1, "text": ""}, "setting": {"form": "[{\"key\": 7}]"}}})
        var current = Database.currentUser()
        compare(current._id, "login-agent")
        compare(current.user_ref, "login-agency")
        compare(current.parent.type, 100, "the agency's row is a manager's")
        compare(account.agentId(), "login-agent")
        compare(account.userId(), "login-agency")
        compare(account.getToken(), "win-token")
        verify(account.hasAccess(account.agentAccess.EDIT))
        verify(!account.syncedData())
        compare(templates.replaced, ["main/Index.qml"])

        // Leave the shared store as it was: this account is logged out again.
        account.logout()
        var still = Database.getLoggedInUsers().filter(function (u) { return u._id === "login-agent" })
        compare(still.length, 0)
    }
}
