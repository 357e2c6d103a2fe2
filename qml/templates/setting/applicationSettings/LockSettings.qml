import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// The app lock on or off, and the auto-lock choice.
Page {
    id: page

    property var settings: Settings
    property var templates: Templates

    readonly property var autoLockChoices: [
        {"title": "غیر فعال", "value": "disable"},
        {"title": "هر 1 دقیقه", "value": "1m"},
        {"title": "هر 5 دقیقه", "value": "5m"},
        {"title": "هر 10 دقیقه", "value": "10m"}
    ]

    function askPin(title, onPin) {
        var dialog = templates.dialog("dialog/DLock.qml", {"title": title}, "com")
        if (!dialog) {
            lockSwitch.checked = settings.app_data.is_lock === true
            return
        }
        dialog.entered.connect(onPin)
        dialog.canceled.connect(function () { lockSwitch.checked = settings.app_data.is_lock === true })
        dialog.open()
    }

    function turnOn() {
        askPin("کلمه عبور چهار رقمی جدید را وارد کنید", function (pin) {
            settings.app_data.lock_password = pin
            settings.app_data.is_lock = true
            settings.save()
            lockSwitch.checked = true
        })
    }

    function turnOff() {
        askPin("کلمه عبور فعلی را وارد کنید", function (pin) {
            if (pin === String(settings.app_data.lock_password)) {
                settings.app_data.lock_password = ""
                settings.app_data.is_lock = false
                settings.save()
                lockSwitch.checked = false
            } else {
                Toast.show("کلمه عبور اشتباه وارد شده است")
                lockSwitch.checked = true
            }
        })
    }

    function chooseAutoLock(value) {
        settings.app_data.auto_lock = value
        settings.save()
    }

    Component.onCompleted: {
        try {
            if (settings.app_data.auto_lock === undefined) {
                settings.app_data.auto_lock = "disable"
                settings.save()
            }
            lockSwitch.checked = settings.app_data.is_lock === true
            for (var i = 0; i < autoLockChoices.length; ++i) {
                if (autoLockChoices[i].value === settings.app_data.auto_lock)
                    autoLock.currentIndex = i
            }
        } catch (e) {
            Toast.error(e, "onCompleted")
        }
    }

    Column {
        objectName: "lockSettingsBody"
        anchors.top: parent.top
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.margins: 20
        // No wider than the body of a detail on a large window, in the middle.
        width: Math.min(parent.width - 40, Consts.body_max_width)
        spacing: 16

        // Full width under the window's mirror: each row starts at the right edge.
        Switch {
            id: lockSwitch
            objectName: "lockSwitch"
            width: parent.width
            text: "قفل برنامه"
            font.pointSize: 12
            onToggled: checked ? page.turnOn() : page.turnOff()
        }

        Row {
            width: parent.width
            spacing: 12

            Text {
                objectName: "autoLockTitle"
                anchors.verticalCenter: parent.verticalCenter
                text: "قفل خودکار برنامه"
                font.pointSize: 12
            }

            ComboBox {
                id: autoLock
                objectName: "autoLock"
                width: 180
                textRole: "title"
                model: page.autoLockChoices
                onActivated: page.chooseAutoLock(page.autoLockChoices[index].value)
            }
        }
    }
}
