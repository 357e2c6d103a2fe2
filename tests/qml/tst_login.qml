import QtQuick 2.15
import QtTest 1.2
import com 1.0

// The login screens against a stand-in server link: number, code, chooser, and the account they leave.
TestCase {
    id: testCase
    name: "Login"

    AccountStore { id: store }
    AccountSocket { id: sockets }
    QtObject {
        id: templates
        property var replaced: []
        function replace(path) { replaced.push(path) }
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

    function makeLogin(options, database) {
        store.reset(); sockets.reset(); templates.replaced = []; toast.shown = []; updates.starts = 0
        database = database || store
        account = Qt.createComponent("qrc:/assets/gaccount.qml").createObject(testCase, {
            "database": database, "sockets": sockets, "templates": templates, "utilities": utilities})
        sockets.account = account
        var component = Qt.createComponent("qrc:/templates/login/Index.qml")
        compare(component.status, Component.Ready, component.errorString())
        var props = {"account": account, "database": database, "sockets": sockets, "templates": templates,
                     "consts": consts, "utilities": utilities, "updates": updates, "toast": toast}
        for (var k in options)
            props[k] = options[k]
        login = component.createObject(testCase, props)
        return login
    }

    function cleanup() {
        login.destroy()
        account.destroy()
    }

    // From the number to the code step, then the code.
    function enterCode(code) {
        login.byCell.setNumber(person.mobile)
        login.byCell.submit()
        sockets.reply("mobile_check", {})
        login.codeStep.setCode(code)
    }

    function test_number_entry() {
        makeLogin({})
        login.byCell.setNumber("0912345678")
        login.byCell.submit()
        compare(toast.shown, ["شماره همراه صحیح را وارد کنید."], "ten digits are refused")
        compare(sockets.sent, [])
        login.byCell.setNumber("۰۹۱۲۱۲۳۴۵۶۷")
        login.byCell.submit()
        compare(sockets.last("mobile_check"), {"country_code": 98, "mobile": "09121234567"})
        sockets.reply("mobile_check", null)
        compare(login.step, 1, "a null answer stays at the number")
        login.byCell.chooseCountry(login.byCell.indexOfCountry("DE"))
        login.byCell.emailText = "  ali@example.de "
        login.byCell.submit()
        compare(sockets.last("email_check"), {"country_code": 49, "email": "ali@example.de"})
        sockets.reply("email_check", {})
        compare([login.step, login.identity, login.countryCode], [2, "ali@example.de", 49])
    }

    function test_wrong_or_missing_match_clears_the_code() {
        makeLogin({})
        enterCode("12345")
        compare(sockets.names().indexOf("verify_check"), -1, "five digits do not send")
        login.codeStep.setCode("123456")
        compare(sockets.last("verify_check"), {"country_code": 98, "code": "123456", "mobile": "09121234567"})
        sockets.reply("verify_check", {"match": false})
        compare([toast.shown[0], login.codeStep.code(), login.step], ["کد وارد شده صحیح نیست!", "", 2])
        login.codeStep.setCode("654321")
        sockets.reply("verify_check", null)
        compare(sockets.names().indexOf("account_login"), -1, "an empty answer logs nobody in")
    }

    function test_resend_counts_down() {
        makeLogin({})
        enterCode("")
        login.codeStep.askAgain()
        login.codeStep.askAgain()
        compare(sockets.names().filter(function (n) { return n === "code_resend" }).length, 1)
        compare(login.codeStep.countdownText, "دریافت مجدد کد تاییدیه بعد از 60 ثانیه")
        login.codeStep.tick()
        compare(login.codeStep.countdownText, "دریافت مجدد کد 59 ثانیه")
    }

    function test_single_manager_logs_in_without_chooser() {
        makeLogin({})
        enterCode("111111")
        sockets.reply("verify_check", {"match": true, "account": person, "agent": []})
        compare(sockets.last("account_login"), {"country_code": "98", "user_id": "p1", "mobile": "09121234567",
            "device": {"notification": "", "app": "TavorlinDesktop 6 . 3 . 0", "os": "Debian GNU/Linux 12",
                       "ip": "", "model": "", "version": 134, "ip_version": "IP2"}})
        var fromServer = {"_id": "p1", "mobile": "09121234567", "user_ref": "stale", "sync_data": true}
        sockets.reply("account_login", {"account": fromServer})
        compare([store.saved[0].type, store.saved[0].hasOwnProperty("user_ref")], [100, false])
        verify(account.isManager())
        compare(sockets.names(), ["mobile_check", "verify_check", "account_login", "join"], "nobody was there to leave")
        compare([updates.starts, templates.replaced], [1, ["main/Index.qml"]])
    }

    // An agent of two agencies who also owns one: the own account, then one entry per agency.
    function test_chooser_lists_the_own_account_and_each_agency() {
        makeLogin({})
        enterCode("222222")
        var agencyA = {"_id": "m1", "name_family": "مدیر یک"}, agencyB = {"_id": "m2", "name_family": "مدیر دو"}
        sockets.reply("verify_check", {"match": true, "account": person, "agent": [
            {"agent_ref": person, "user_ref": agencyA, "type": 0}, {"agent_ref": person, "user_ref": agencyB, "type": 1}]})
        compare(login.step, 3)
        compare(login.entries.map(login.entryTitle), ["حساب شخصی", "مدیریت : مدیر یک", "مدیریت : مدیر دو"])
        login.choose(login.entries[2])
        var request = sockets.last("account_login")
        compare([request.user_id, request.agent_id, request.country_code], ["m2", "p1", "98"])
        sockets.reply("account_login", {"agent": {"agent_ref": person, "user_ref": agencyB, "type": 1, "access": 2}})
        compare([account.userId(), account.agentId(), account.isSecretary(), updates.starts], ["m2", "p1", true, 0])

        login.choose(login.entries[0])
        verify(!sockets.last("account_login").hasOwnProperty("agent_id"))
        sockets.reply("account_login", {"account": person})
        var leave = sockets.sent.filter(function (s) { return s.name === "leave" })
        compare(leave.map(function (s) { return s.from }), ["m2"], "the agency's account leaves first")
        compare([account.userId(), store.getLoggedInUsers().length], ["p1", 2])
    }

    function test_failed_save_enters_nobody() {
        makeLogin({})
        enterCode("333333")
        sockets.reply("verify_check", {"match": true, "account": person})
        store.failSave = 0
        sockets.reply("account_login", {"account": person})
        compare([templates.replaced, account.get(), sockets.names().indexOf("join"), toast.shown.length], [[], null, -1, 1])
    }

    function test_chooser_from_the_settings_asks_for_every_logged_in_person() {
        var loggedIn = [{"mobile": "09121234567"}, {"mobile": "09121234567"}, {"mobile": "09357654321"}]
        makeLogin({"fromSetting": true, "step": 3, "database": {"getLoggedInUsers": function () { return loggedIn }}})
        compare(sockets.last("account_mine"), {"mobile": ["09121234567", "09357654321"]})
        sockets.reply("account_mine", {"account": [{"_id": "p2"}],
            "agent": [{"agent_ref": {"_id": "p2", "mobile": "09357654321"}, "user_ref": person, "type": 2}]})
        compare(login.entries.map(login.entryTitle), ["حساب شخصی", "مدیریت : رضا"])
        login.choose(login.entries[1])
        var request = sockets.last("account_login")
        compare([request.user_id, request.agent_id, request.mobile], ["p1", "p2", "09357654321"])
    }

    // The same flow against the real store: the agent is saved under its agency, current and logged in.
    function test_login_into_the_real_store() {
        makeLogin({}, Database)
        enterCode("444444")
        var agency = {"_id": "login-agency", "mobile": "09120000009"}
        var me = {"_id": "login-agent", "mobile": "09121234567"}
        sockets.reply("verify_check", {"match": true, "account": me, "agent": [{"agent_ref": me, "user_ref": agency, "type": 0}]})
        login.choose(login.entries[1])
        sockets.reply("account_login", {"agent": {"agent_ref": me, "user_ref": agency, "type": 0, "access": 6,
                                                  "device": [{"platform": 64, "token": "win-token"}]}})
        var current = Database.currentUser()
        compare([current._id, current.user_ref, current.parent.type], ["login-agent", "login-agency", 100])
        compare([account.agentId(), account.getToken(), account.hasAccess(account.agentAccess.EDIT)], ["login-agent", "win-token", true])
        account.logout()
        compare(Database.getLoggedInUsers().filter(function (u) { return u._id === "login-agent" }), [])
    }
}
