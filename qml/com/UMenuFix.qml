import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// The fixed menu bar of the home screen, with its badges.
Rectangle {
    id: menu

    property var account: Account
    property var sockets: Sockets
    property var database: Database
    property var templates: Templates

    property int conversation: 0
    property int due: 0
    property int colleague: 0
    property int note: 0
    property int task: 0

    // Rentals archived about 13 to 11 months ago, whose leases are ending.
    readonly property real dueFrom: 34186659000
    readonly property real dueTo: 28927173000

    implicitHeight: 56
    color: "#1565c0"

    function dueWindow() {
        var now = Date.now()
        return {"start": String(now - dueFrom), "end": String(now - dueTo)}
    }

    // The whole minute at each end, so the count never depends on the second it is taken at.
    function todayNotes() {
        var start = new Date()
        start.setHours(0, 1, 0, 0)
        var end = new Date()
        end.setHours(23, 59, 59, 999)
        return database.todayNoteCount(start.getTime(), end.getTime())
    }

    function refresh_badges() {
        try {
            var owner = account.user() || {}
            sockets.on("count_result", function (reply) {
                try {
                    sockets.off("count_result")
                    var count = reply && reply.content && reply.content.count ? reply.content.count : {}
                    menu.colleague = count.colleague || 0
                    menu.conversation = count.conversation || 0
                    menu.task = count.task || 0
                    menu.note = menu.todayNotes()
                    menu.countDue()
                } catch (e) {
                    Toast.error(e, "count_result")
                }
            })
            sockets.send("count", {"user_id": account.userId(), "agent_id": account.agentId(), "map": owner.map})
        } catch (e) {
            Toast.error(e, "refresh_badges")
        }
    }

    function noteAdded() { note += 1 }
    function noteRemoved() { note = Math.max(0, note - 1) }

    // Read from the store, whichever screen or notice changed the files.
    function countDue() {
        var w = dueWindow()
        due = database.getDueFilesCount(w.start, w.end)
    }

    UFilesWatch {
        database: menu.database
        seen: menu.visible
        onRefresh: menu.countDue()
    }

    function openContainer(key, options, callback) {
        return templates.container(key, options, callback)
    }

    function openProfile() {
        if (Consts.desktop) {
            var dialog = templates.dialog("setting/dialogs/ProfileDialog.qml", {"from_login": true})
            if (dialog)
                dialog.open()
        } else {
            templates.initial("setting/Profile.qml", {"from_login": true})
        }
    }

    function activate(key) {
        try {
            switch (key) {
            case "settings":
                if (Consts.desktop && Consts.drawer_setting)
                    Consts.drawer_setting.open()
                else
                    templates.initial("setting/Setting.qml")
                break
            case "chat":
                openContainer("chat", {})
                break
            case "due":
                var w = dueWindow()
                openContainer("fileList", {
                    "mode": "due", "title": "فایل های سررسید اجاره", "tradeType": 10,
                    "filters": [{"key": "due", "value": {"value_1": String(w.start), "value_2": String(w.end)}}]
                })
                break
            case "colleague":
                if (!account.hasValidLocation()) {
                    var message = templates.dialog("dialog/DMessage.qml", {
                        "title": "موقعیت محل فعالیت",
                        "text": "برای دیدن همکاران، ابتدا باید موقعیت محل فعالیت بنگاه در پروفایل ثبت شده باشد.",
                        "button": "فهمیدم"
                    }, "com")
                    if (message) {
                        if (account.isManager())
                            message.closed.connect(openProfile)
                        message.open()
                    }
                } else {
                    openContainer("colleague", {})
                }
                break
            case "notes":
                if (Consts.desktop && Consts.drawer_note) {
                    Consts.drawer_note.noteCount = note
                    Consts.drawer_note.taskCount = task
                    Consts.drawer_note.open()
                } else {
                    templates.initial("note/Note.qml", {"noteCount": note, "taskCount": task})
                }
                break
            case "exit":
                if (Consts.window)
                    Consts.window.close()
                break
            case "minimize":
                if (Consts.window)
                    Consts.window.showMinimized()
                break
            }
        } catch (e) {
            Toast.error(e, "activate")
        }
    }

    readonly property var entries: [
        {"key": "settings", "icon": "menu", "title": "تنظیمات"},
        {"key": "chat", "icon": "forumOutline", "title": "گفتگو"},
        {"key": "due", "icon": "calendarClockOutline", "title": "سررسید"},
        {"key": "colleague", "icon": "accountGroupOutline", "title": "همکاران"},
        {"key": "notes", "icon": "noteTextOutline", "title": "یادداشت ها"}
    ]

    function badgeOf(key) {
        switch (key) {
        case "chat": return conversation
        case "due": return due
        case "colleague": return colleague
        case "notes": return note + task
        default: return 0
        }
    }

    function glyph(name) {
        return String.fromCodePoint(parseInt(Icons[name], 16))
    }

    // Written left to right; the inherited mirroring puts the entries on the right.
    Row {
        anchors.left: parent.left
        anchors.leftMargin: 8
        anchors.verticalCenter: parent.verticalCenter
        spacing: 4

        Rectangle {
            width: 40
            height: 40
            radius: 20
            clip: true
            color: "#bbdefb"
            anchors.verticalCenter: parent.verticalCenter

            Image {
                anchors.fill: parent
                visible: source != ""
                fillMode: Image.PreserveAspectCrop
                source: {
                    var path = menu.account && menu.account.getImagePath ? menu.account.getImagePath() : ""
                    return path === "" ? "" : (path.indexOf(":") === -1 ? "file://" + path : path)
                }
            }
        }

        Repeater {
            model: menu.entries

            ToolButton {
                objectName: "menu_" + modelData.key
                width: 64
                height: 52
                onClicked: menu.activate(modelData.key)
                ToolTip.visible: hovered
                ToolTip.text: modelData.title

                contentItem: Text {
                    text: menu.glyph(modelData.icon)
                    font.family: Fonts.icon
                    font.pointSize: 20
                    color: "#ffffff"
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }

                Rectangle {
                    readonly property int count: menu.badgeOf(modelData.key)
                    visible: count > 0
                    anchors.top: parent.top
                    anchors.right: parent.right
                    anchors.margins: 4
                    width: Math.max(18, badgeText.implicitWidth + 8)
                    height: 18
                    radius: 9
                    color: "#e53935"

                    Text {
                        id: badgeText
                        anchors.centerIn: parent
                        text: Consts.ltr(parent.count > 99 ? "99+" : parent.count)
                        color: "#ffffff"
                        font.pointSize: 8
                    }
                }
            }
        }
    }

    Row {
        anchors.right: parent.right
        anchors.rightMargin: 8
        anchors.verticalCenter: parent.verticalCenter
        visible: Consts.desktop

        ToolButton {
            objectName: "menu_minimize"
            onClicked: menu.activate("minimize")
            contentItem: Text {
                text: menu.glyph("windowMinimize")
                font.family: Fonts.icon
                font.pointSize: 18
                color: "#ffffff"
            }
        }

        ToolButton {
            objectName: "menu_exit"
            onClicked: menu.activate("exit")
            contentItem: Text {
                text: menu.glyph("power")
                font.family: Fonts.icon
                font.pointSize: 18
                color: "#ffffff"
            }
        }
    }

    Component.onCompleted: refresh_badges()
}
