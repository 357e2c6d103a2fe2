import QtQuick 2.15
import QtTest 1.2

// The splash and the lock screen driven by stand-ins for the services they use.
TestCase {
    name: "Splash"
    width: 800
    height: 600

    QtObject {
        id: settings
        property int db_version: 12
        property var app_data: ({})
        property int saves: 0
        property int clears: 0
        function save() { saves++ }
        function clear() { clears++; app_data = {"dbCreated": false, "db_version": 12, "citiesInserted": false} }
    }

    StandInDatabase {
        id: database
        user: ({"error": "no user was found for that query!"})
        property var cities: null
        function saveCities(list) { record("saveCities", arguments); cities = list }
    }

    QtObject {
        id: account
        property var current: "unset"
        function set(a) { current = a }
    }

    QtObject {
        id: sockets
        property var handlers: ({})
        property var sent: []
        function on(name, f) { handlers[name] = f }
        function off(name) { delete handlers[name] }
        function send(name, content) { sent.push(name) }
    }

    QtObject {
        id: templates
        property var replaced: []
        function replace(path) { replaced.push(path) }
    }

    QtObject {
        id: consts
        property var window: null
        property int initials: 0
        function initial(w) { initials++ }
        function version_short2() { return "6 . 3 . 0" }
    }

    function reset(appData, user) {
        settings.app_data = appData
        settings.saves = 0
        settings.clears = 0
        database.user = user
        database.calls = []
        database.cities = null
        account.current = "unset"
        sockets.handlers = {}
        sockets.sent = []
        templates.replaced = []
        consts.initials = 0
    }

    function makeSplash() {
        var component = Qt.createComponent("qrc:/templates/SplashDesktop.qml")
        compare(component.status, Component.Ready, component.errorString())
        var splash = component.createObject(this, {"settings": settings, "database": database, "account": account,
                                                   "sockets": sockets, "templates": templates, "consts": consts})
        verify(splash !== null)
        splash.landingTimer.stop()
        return splash
    }

    function known(extra) {
        var data = {"dbCreated": true, "db_version": 12, "citiesInserted": true}
        for (var k in extra)
            data[k] = extra[k]
        return data
    }

    readonly property var manager: ({"id": 1, "_id": "u1", "type": 100})

    function test_no_account_lands_on_login() {
        reset(known({}), {"error": "no user was found for that query!"})
        var splash = makeSplash()
        compare(splash.landingTimer.interval, 2000)
        splash.land()
        compare(templates.replaced, ["login/Index.qml"])
        compare(account.current, "unset")
        compare(database.slots().indexOf("initial"), -1)
        splash.destroy()
    }

    function test_unreadable_account_lands_on_login() {
        reset(known({}), manager)
        var splash = makeSplash()
        var broken = {"currentUser": function () { throw new Error("store closed") }}
        splash.database = broken
        splash.land()
        compare(templates.replaced, ["login/Index.qml"])
        compare(account.current, "unset")
        splash.destroy()
    }

    function test_account_lands_on_home_or_lock() {
        reset(known({}), manager)
        var splash = makeSplash()
        splash.land()
        compare(templates.replaced, ["main/Index.qml"])
        compare(account.current, manager)
        verify(database.slots().indexOf("initial") !== -1)
        splash.destroy()

        reset(known({"is_lock": true, "lock_password": "1234"}), manager)
        splash = makeSplash()
        splash.land()
        compare(templates.replaced, ["Lock.qml"])
        splash.destroy()
    }

    function test_timer_lands_by_itself() {
        reset(known({}), manager)
        var splash = makeSplash()
        splash.landingTimer.interval = 10
        splash.landingTimer.start()
        tryCompare(templates.replaced, "length", 1)
        compare(templates.replaced[0], "main/Index.qml")
        splash.destroy()
    }

    function test_first_start_waits_longer_and_seeds() {
        reset({"dbCreated": false, "db_version": 12, "citiesInserted": true}, manager)
        var splash = makeSplash()
        compare(splash.landingTimer.interval, 8000)
        verify(splash.firstStart)
        compare(consts.initials, 1)
        compare(sockets.sent, [])
        splash.destroy()
    }

    function test_store_version_change_resets_the_store() {
        reset(known({"db_version": 11}), manager)
        var splash = makeSplash()
        compare(account.current, null)
        compare(settings.clears, 1)
        verify(database.slots().indexOf("removeDb") !== -1)
        // After the reset this is a first start: long wait, cities asked again.
        compare(splash.landingTimer.interval, 8000)
        compare(sockets.sent, ["province_list"])
        compare(templates.replaced, [], "the splash itself stays")
        splash.destroy()
    }

    function test_cities_downloaded_once() {
        reset(known({"citiesInserted": false}), manager)
        var splash = makeSplash()
        compare(sockets.sent, ["province_list"])
        var handler = sockets.handlers["province_list_result"]
        verify(typeof handler === "function")
        handler({"content": {"list": [{"title": "تهران"}]}, "payload": {}, "timestamp": 1})
        compare(database.cities, [{"title": "تهران"}])
        verify(settings.app_data.citiesInserted)
        verify(settings.saves > 0)
        verify(sockets.handlers["province_list_result"] === undefined)
        splash.destroy()
    }

    function test_cities_reply_without_list_is_not_taken_as_done() {
        reset(known({"citiesInserted": false}), manager)
        var splash = makeSplash()
        sockets.handlers["province_list_result"]({"content": null})
        compare(database.cities, null)
        verify(!settings.app_data.citiesInserted)
        splash.destroy()
    }

    function test_lock_screen() {
        reset(known({"is_lock": true, "lock_password": "4321"}), manager)
        var component = Qt.createComponent("qrc:/templates/Lock.qml")
        compare(component.status, Component.Ready, component.errorString())
        var lock = component.createObject(this, {"settings": settings, "templates": templates})
        lock.type("1"); lock.type("2"); lock.type("3"); lock.type("4")
        compare(templates.replaced, [], "a wrong PIN opens nothing")
        compare(lock.entry, "")
        lock.type("4"); lock.type("3")
        lock.submit()
        compare(templates.replaced, [])
        lock.type("4"); lock.type("3"); lock.type("2"); lock.type("1")
        compare(templates.replaced, ["main/Index.qml"])
        lock.destroy()
    }
}
