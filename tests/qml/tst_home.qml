import QtQuick 2.15
import QtQuick.Window 2.15
import QtTest 1.2
import com 1.0

// The home screen's start-up checks, with stand-ins for the account and the server link.
TestCase {
    name: "Home"
    when: windowShown
    width: 800
    height: 600

    Item { id: host; anchors.fill: parent }

    QtObject {
        id: account
        property var acc: ({"_id": "u1", "type": 100, "name_family": "مدیر", "city_ref": "c1", "map": {"lat": 1, "lng": 1}})
        property bool synced: true
        function get() { return acc }
        function user() { return acc }
        function syncedData() { return synced }
        function userId() { return acc._id }
        function agentId() { return undefined }
        function getToken() { return "t" }
        function hasValidLocation() { return true }
        function isManager() { return acc.type === 100 }
        function getImagePath() { return "" }
    }

    QtObject {
        id: sockets
        property bool connected: false
        property int platform: 64
        property var handlers: ({})
        property var sent: []
        function on(name, f) { handlers[name] = f }
        function off(name) { delete handlers[name] }
        function send(name, content) { sent.push(name) }
    }

    QtObject {
        id: settings
        property var app_data: ({"door_enabled": false, "app_version": 134})
        function save() {}
    }

    QtObject {
        id: templates
        property var opened: []
        function dialog(path) { opened.push(path); return null }
        function initial(path, options) { opened.push(path); return null }
        function replace(path) { opened.push(path) }
    }

    QtObject {
        id: fakeWindow
        property int tavorlin_version: 134
        property int resets: 0
        property real width: 800
        property real height: 600
        function resetLocalData() { resets++ }
    }

    property var savedWindow: null

    function initTestCase() {
        savedWindow = Consts.window
        Consts.window = fakeWindow
    }

    function cleanupTestCase() {
        Consts.window = savedWindow
    }

    function makeHome(connected) {
        sockets.connected = connected
        sockets.handlers = {}
        sockets.sent = []
        templates.opened = []
        fakeWindow.resets = 0
        var component = Qt.createComponent("qrc:/templates/main/Index.qml")
        compare(component.status, Component.Ready, component.errorString())
        var home = component.createObject(host, {"account": account, "sockets": sockets, "settings": settings,
                                                 "templates": templates})
        verify(home !== null)
        return home
    }

    function test_offline_start_shows_the_shelves() {
        var home = makeHome(false)
        verify(home.shelvesLoader.active, "no answer comes while offline, so the shelves load at once")
        compare(sockets.sent.indexOf("account_select"), -1)
        home.destroy()
    }

    function test_online_start_waits_for_the_account() {
        var home = makeHome(true)
        verify(sockets.sent.indexOf("account_select") !== -1)
        verify(sockets.sent.indexOf("count") !== -1, "the menu asks for its badges")
        verify(!home.shelvesLoader.active)
        sockets.handlers["account_select_result"]({"content": {"account": {"_id": "u1"}}})
        verify(home.shelvesLoader.active)
        home.destroy()
    }

    function test_server_asks_for_a_reset_of_this_platform() {
        var home = makeHome(true)
        sockets.handlers["account_select_result"]({"content": {"account": {"reset": [128, 64]}}})
        compare(fakeWindow.resets, 1)
        verify(!home.shelvesLoader.active)
        home.destroy()

        home = makeHome(true)
        sockets.handlers["account_select_result"]({"content": {"agent": {"reset": [128]}}})
        compare(fakeWindow.resets, 0)
        verify(home.shelvesLoader.active)
        home.destroy()
    }

    function test_login_popup_opens_the_chooser() {
        var home = makeHome(true)
        sockets.handlers["account_select_result"]({"content": {"account": {"login_popup": true}}})
        compare(templates.opened, ["login/Index.qml"])
        home.destroy()
    }

    function test_unsynced_account_opens_the_download() {
        account.synced = false
        var home = makeHome(true)
        compare(templates.opened, ["main/dialog/Syncronise.qml"])
        account.synced = true
        home.destroy()
    }

    function test_manager_without_profile_goes_to_the_profile_once() {
        var full = account.acc
        account.acc = {"_id": "u1", "type": 100, "name_family": "", "city_ref": "c1"}
        var home = makeHome(true)
        sockets.handlers["account_select_result"]({"content": {"account": {"_id": "u1"}}})
        var profiles = templates.opened.filter(function (p) { return p.indexOf("rofile") !== -1 })
        compare(profiles.length, 1)
        verify(home.shelvesLoader.active)
        account.acc = full
        home.destroy()
    }

    function test_menu_badges() {
        var home = makeHome(true)
        sockets.handlers["count_result"]({"content": {"count": {"colleague": 3, "conversation": 2, "task": 4}}})
        compare(home.menu.colleague, 3)
        compare(home.menu.conversation, 2)
        compare(home.menu.task, 4)
        home.menu.note = 1
        home.menu.noteAdded()
        compare(home.menu.note, 2)
        var before = Date.now()
        var w = home.menu.dueWindow()
        verify(Number(w.start) <= before - 34186659000 + 1000 && Number(w.start) >= before - 34186659000)
        verify(Number(w.end) - Number(w.start) === 34186659000 - 28927173000)
        home.destroy()
    }
}
