import QtQuick 2.15
import QtTest 1.2

// Turning the app lock on and off through the PIN dialog.
TestCase {
    name: "LockSettings"
    width: 600
    height: 400

    QtObject {
        id: settings
        property var app_data: ({})
        property int saves: 0
        function save() { saves++ }
    }

    // Stands in for DLock: the test answers it with a PIN or cancels it.
    Component {
        id: fakeDialog
        QtObject {
            signal entered(string pin)
            signal canceled()
            property bool shown: false
            function open() { shown = true }
        }
    }

    QtObject {
        id: templates
        property var last: null
        function dialog(path, options, qrc) {
            last = fakeDialog.createObject(templates)
            return last
        }
    }

    function makeScreen(appData) {
        settings.app_data = appData
        settings.saves = 0
        var component = Qt.createComponent("qrc:/templates/setting/applicationSettings/LockSettings.qml")
        compare(component.status, Component.Ready, component.errorString())
        return component.createObject(this, {"settings": settings, "templates": templates})
    }

    function test_missing_auto_lock_becomes_disable() {
        var screen = makeScreen({})
        compare(settings.app_data.auto_lock, "disable")
        verify(settings.saves > 0)
        screen.chooseAutoLock("5m")
        compare(settings.app_data.auto_lock, "5m")
        screen.destroy()
    }

    function test_turning_on_stores_the_pin() {
        var screen = makeScreen({"auto_lock": "disable"})
        screen.turnOn()
        verify(templates.last.shown)
        templates.last.entered("2580")
        compare(settings.app_data.lock_password, "2580")
        compare(settings.app_data.is_lock, true)
        verify(settings.saves > 0)
        screen.destroy()
    }

    function test_turning_off_needs_the_right_pin() {
        var screen = makeScreen({"auto_lock": "disable", "is_lock": true, "lock_password": "2580"})
        screen.turnOff()
        templates.last.entered("1111")
        compare(settings.app_data.is_lock, true)
        compare(settings.app_data.lock_password, "2580")
        compare(settings.saves, 0)
        screen.turnOff()
        templates.last.entered("2580")
        compare(settings.app_data.is_lock, false)
        compare(settings.app_data.lock_password, "")
        compare(settings.saves, 1)
        screen.destroy()
    }
}
