import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// Decides where the user lands: the lock, the home or the login screen.
Page {
    id: splash

    // The services the splash drives; a test hands in its own.
    property var settings: Settings
    property var database: Database
    property var account: Account
    property var sockets: Sockets
    property var templates: Templates
    property var consts: Consts

    readonly property int firstStartDelay: 8000
    readonly property int startDelay: 2000
    property bool firstStart: false
    property alias landingTimer: landing

    function checkStoreVersion() {
        var data = settings.app_data
        if (!data || data.db_version !== settings.db_version) {
            account.set(null)
            settings.clear()
            database.removeDb()
        }
    }

    function fetchCities() {
        sockets.on("province_list_result", function (reply) {
            try {
                var content = reply ? reply.content : null
                // A reply without a list leaves the flag unset, so the next start asks again.
                if (content && content.list) {
                    database.saveCities(content.list)
                    settings.app_data.citiesInserted = true
                    settings.save()
                }
                sockets.off("province_list_result")
            } catch (e) {
                Toast.error(e, "fetchCities")
            }
        })
        sockets.send("province_list")
    }

    function land() {
        var user = null
        try {
            user = database.currentUser()
        } catch (e) {
            // An unreadable account is no account: the login screen, rather than a splash that never ends.
            Toast.error(e, "land")
        }
        try {
            if (!user || user.error !== undefined) {
                templates.replace("login/Index.qml")
                return
            }
            database.initial()
            account.set(user)
            templates.replace(settings.app_data.is_lock === true ? "Lock.qml" : "main/Index.qml")
        } catch (e) {
            Toast.error(e, "land")
        }
    }

    function start() {
        try {
            checkStoreVersion()
            firstStart = settings.app_data.dbCreated !== true
            landing.interval = firstStart ? firstStartDelay : startDelay
            landing.start()
            consts.initial(consts.window)
            if (settings.app_data.citiesInserted !== true)
                fetchCities()
        } catch (e) {
            Toast.error(e, "start")
        }
    }

    Timer {
        id: landing
        repeat: false
        onTriggered: splash.land()
    }

    background: Rectangle {
        gradient: Gradient {
            GradientStop { position: 0; color: "#e3f2fd" }
            GradientStop { position: 1; color: "#90caf9" }
        }
    }

    Column {
        anchors.centerIn: parent
        spacing: 24

        Image {
            id: logo
            anchors.horizontalCenter: parent.horizontalCenter
            width: 160
            height: 160
            source: "qrc:/assets/images/logo.png"
            sourceSize: Qt.size(width, height)
            smooth: true

            RotationAnimation on rotation {
                running: splash.firstStart
                loops: Animation.Infinite
                from: 0
                to: 360
                duration: 2400
            }
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "تاورلین"
            color: "#0d47a1"
            font.pointSize: 26
            font.bold: true
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: splash.firstStart ? "در حال آماده سازی برنامه ..." : "دستیار هوشمند املاک"
            color: "#1565c0"
            font.pointSize: 12
        }
    }

    Text {
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 48
        anchors.horizontalCenter: parent.horizontalCenter
        text: consts.version_short2()
        color: "#1565c0"
        font.pointSize: 10
    }

    Component.onCompleted: start()
}
