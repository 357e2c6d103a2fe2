import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// The home screen: menu bar, the shelf view and the two side drawers, behind the opening shutter.
Page {
    id: home

    property var account: Account
    property var sockets: Sockets
    property var settings: Settings
    property var templates: Templates

    readonly property int build: Consts.window && Consts.window.tavorlin_version ? Consts.window.tavorlin_version : 134
    property bool profileShown: false
    property alias shelvesLoader: shelves
    property alias menu: menuBar

    function needsProfile(acc) {
        return !!acc && acc.type === 100 && (!acc.name_family || !acc.city_ref)
    }

    function openProfile() {
        profileShown = true
        menuBar.openProfile()
    }

    function loadShelves() {
        shelves.active = true
    }

    function afterDoor() {
        try {
            if (!account.syncedData()) {
                var sync = templates.dialog("main/dialog/Syncronise.qml")
                if (!sync)
                    return
                sync.finish.connect(function () {
                    sync.close()
                    askAccount(true)
                })
                sync.show()
                return
            }
            if (needsProfile(account.get()))
                openProfile()
            askAccount(true)
        } catch (e) {
            Toast.error(e, "afterDoor")
        }
    }

    function askAccount(withShelves) {
        try {
            // An offline request is dropped and never answered; the shelves come from the local store then.
            if (!sockets.connected) {
                if (withShelves)
                    showShelves()
                return
            }
            sockets.on("account_select_result", function (reply) {
                try {
                    sockets.off("account_select_result")
                    var content = reply && reply.content ? reply.content : {}
                    var acc = content.account ? content.account : content.agent
                    if (acc && acc.login_popup === true) {
                        templates.initial("login/Index.qml", {"fromSetting": true, "step": 3})
                        return
                    }
                    if (acc && acc.reset && acc.reset.indexOf(sockets.platform) !== -1) {
                        if (Consts.window && Consts.window.resetLocalData)
                            Consts.window.resetLocalData()
                        return
                    }
                    if (withShelves)
                        showShelves()
                } catch (e) {
                    Toast.error(e, "account_select_result")
                }
            })
            sockets.send("account_select", {"user_id": account.userId(), "agent_id": account.agentId()})
        } catch (e) {
            Toast.error(e, "askAccount")
        }
    }

    function showShelves() {
        if (!profileShown && needsProfile(account.get()))
            openProfile()
        loadShelves()
    }

    function reportBuild() {
        try {
            if (settings.app_data.app_version === build)
                return
            sockets.on("account_device_update_result", function (reply) {
                sockets.off("account_device_update_result")
                settings.app_data.app_version = home.build
                settings.save()
            })
            sockets.send("account_device_update", {
                "user_id": account.userId(), "agent_id": account.agentId(),
                "device": {
                    "notification": "", "app": Consts.version(), "os": Utilities.os_name(), "ip": Utilities.myIP(),
                    "model": "", "token": account.getToken(), "version": build
                }
            })
        } catch (e) {
            Toast.error(e, "reportBuild")
        }
    }

    header: UMenuFix {
        id: menuBar
        account: home.account
        sockets: home.sockets
        templates: home.templates
    }

    Loader {
        id: shelves
        anchors.fill: parent
        active: false
        source: Templates.uri("main/Shelves.qml")
    }

    Drawer {
        id: settingDrawer
        edge: Qt.RightEdge
        width: Math.min(380, home.width * 0.8)
        height: home.height

        Loader {
            anchors.fill: parent
            active: settingDrawer.visible || status === Loader.Ready
            source: Templates.uri("setting/Setting.qml")
        }
    }

    Drawer {
        id: noteDrawer

        property int noteCount: 0
        property int taskCount: 0

        edge: Qt.LeftEdge
        width: Math.min(420, home.width * 0.8)
        height: home.height

        // Each opening reloads the notes and both counts; the first one loads them with the screen.
        onAboutToShow: {
            if (noteLoader.item && typeof noteLoader.item.initial === "function")
                noteLoader.item.initial()
        }

        Loader {
            id: noteLoader
            anchors.fill: parent
            active: noteDrawer.visible || status === Loader.Ready
            source: Templates.uri("note/Note.qml")
            onLoaded: {
                if (item.noteCount !== undefined)
                    item.noteCount = Qt.binding(function () { return noteDrawer.noteCount })
                if (item.taskCount !== undefined)
                    item.taskCount = Qt.binding(function () { return noteDrawer.taskCount })
                if (item.noteAdded)
                    item.noteAdded.connect(menuBar.noteAdded)
                if (item.noteRemoved)
                    item.noteRemoved.connect(menuBar.noteRemoved)
                if (item.tasksCounted)
                    item.tasksCounted.connect(function (count) { menuBar.task = count })
            }
        }
    }

    // The shutter rolls up over the home screen; the start-up checks run once it is out of the way.
    Rectangle {
        id: shutter
        width: parent ? parent.width : 0
        height: parent.height + (home.header ? home.header.height : 0)
        y: -(home.header ? home.header.height : 0)
        z: 10
        visible: false
        gradient: Gradient {
            GradientStop { position: 0; color: "#90a4ae" }
            GradientStop { position: 1; color: "#546e7a" }
        }

        Column {
            anchors.fill: parent
            Repeater {
                model: Math.ceil(shutter.height / 24)
                Rectangle {
                    width: shutter.width
                    height: 24
                    color: "transparent"
                    border.color: "#455a64"
                    border.width: 1
                }
            }
        }

        NumberAnimation on y {
            id: rollUp
            running: false
            duration: 1200
            easing.type: Easing.InOutQuad
            onFinished: {
                shutter.visible = false
                home.afterDoor()
            }
        }
    }

    Component.onCompleted: {
        Consts.drawer_setting = settingDrawer
        Consts.drawer_note = noteDrawer
        if (settings.app_data && settings.app_data.door_enabled === false) {
            afterDoor()
        } else {
            shutter.visible = true
            rollUp.from = shutter.y
            rollUp.to = -shutter.height
            rollUp.start()
        }
        reportBuild()
    }

    Component.onDestruction: {
        if (Consts.drawer_setting === settingDrawer)
            Consts.drawer_setting = null
        if (Consts.drawer_note === noteDrawer)
            Consts.drawer_note = null
    }
}
