import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// The app lock: four digits on a keypad open the home screen.
Page {
    id: lock
    objectName: "lockScreen"

    property var settings: Settings
    property var templates: Templates

    readonly property int pinLength: 4
    property string entry: ""

    function type(digit) {
        if (entry.length >= pinLength)
            return
        entry += digit
        if (entry.length === pinLength)
            submit()
    }

    function erase() {
        entry = entry.substring(0, entry.length - 1)
    }

    function submit() {
        try {
            if (entry === String(settings.app_data.lock_password)) {
                templates.replace("main/Index.qml")
            } else {
                entry = ""
                Toast.show("کلمه عبور اشتباه است")
            }
        } catch (e) {
            Toast.error(e, "submit")
        }
    }

    // Keys typed before any click count too: the page holds the focus from the moment it shows.
    focus: true
    StackView.onActivated: forceActiveFocus()
    Component.onCompleted: forceActiveFocus()
    Keys.onPressed: {
        var digit = Consts.fixNumbers(event.text)
        if (/^[0-9]$/.test(digit)) {
            type(digit)
            event.accepted = true
        } else if (event.key === Qt.Key_Backspace) {
            erase()
            event.accepted = true
        } else if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter) {
            submit()
            event.accepted = true
        }
    }

    background: Rectangle { color: "#e3f2fd" }

    Column {
        anchors.centerIn: parent
        spacing: 24

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "کلمه عبور برنامه را وارد کنید"
            color: "#0d47a1"
            font.pointSize: 14
        }

        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 16
            Repeater {
                model: lock.pinLength
                Rectangle {
                    width: 18
                    height: 18
                    radius: 9
                    border.color: "#1565c0"
                    border.width: 2
                    color: index < lock.entry.length ? "#1565c0" : "transparent"
                }
            }
        }

        Grid {
            id: keypad
            anchors.horizontalCenter: parent.horizontalCenter
            columns: 3
            spacing: 12
            // Keypads read left to right whatever the layout direction.
            LayoutMirroring.enabled: false

            Repeater {
                model: ["1", "2", "3", "4", "5", "6", "7", "8", "9", "back", "0", "enter"]
                RoundButton {
                    width: 64
                    height: 64
                    objectName: "key_" + modelData
                    font.pointSize: 16
                    font.family: modelData === "back" || modelData === "enter" ? Fonts.icon : Fonts.app
                    text: modelData === "back" ? String.fromCodePoint(parseInt(Icons.backspaceOutline, 16))
                        : modelData === "enter" ? String.fromCodePoint(parseInt(Icons.check, 16))
                        : modelData
                    // The page keeps the focus, so the keyboard still reaches it after a click.
                    focusPolicy: Qt.NoFocus
                    function press() {
                        if (modelData === "back")
                            lock.erase()
                        else if (modelData === "enter")
                            lock.submit()
                        else
                            lock.type(modelData)
                    }
                    onClicked: press()
                    // The second click of a double click comes as this, never as a click: it counts too.
                    onDoubleClicked: press()
                }
            }
        }

        Button {
            anchors.horizontalCenter: parent.horizontalCenter
            width: 200
            text: "ورود"
            focusPolicy: Qt.NoFocus
            onClicked: lock.submit()
        }
    }
}
