import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Window 2.15
import com 1.0
import "window.js" as Fit

ApplicationWindow {
    id: window

    readonly property int tavorlin_version: 134
    readonly property string ip_version: "IP2"
    // Inside the screen's free area and centred in it (window.js).
    readonly property var fit: Fit.placeOn(Utilities.available_geometry(), Consts.minimum_width, Consts.minimum_height)

    x: fit.x
    y: fit.y
    width: fit.width
    height: fit.height
    minimumWidth: fit.minimumWidth
    minimumHeight: fit.minimumHeight
    visible: true
    title: "تاورلین"
    locale: Qt.locale("fa_IR")
    font.family: Fonts.app

    // Ctrl+Shift+Z, a server request or a store version change: back to a blank first start.
    function resetLocalData() {
        try {
            Sockets.leave()
            Account.set(null)
            Settings.clear()
            Database.removeDb()
            Templates.replace("SplashDesktop.qml")
        } catch (e) {
            Toast.error(e, "resetLocalData")
        }
    }

    function checkForUpdate() {
        try {
            Sockets.on("version_check_result", function (reply) {
                var content = reply.content || {}
                updateBanner.visible = content.update === true
                if (content.result && content.result.title)
                    updateBanner.title = content.result.title
            })
            Sockets.send("version_check", {"version": tavorlin_version})
        } catch (e) {
            Toast.error(e, "checkForUpdate")
        }
    }

    onClosing: {
        try {
            if (Consts.desktop) {
                if (Database.isOpen())
                    Database.closeDatabase()
                Sockets.leave()
            } else if (!Stacks.back()) {
                // On phones the back key walks the stack first; only an empty one closes the window.
                close.accepted = false
            }
        } catch (e) {
            Toast.error(e, "onClosing")
        }
    }

    Item {
        id: content
        anchors.fill: parent
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        // Ends where the offline bar starts: the bar never covers a screen's controls.
        StackView {
            id: rootStack
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.top: parent.top
            anchors.bottom: offlineBar.visible ? offlineBar.top : parent.bottom
        }

        Rectangle {
            id: updateBanner

            property string title: ""
            property bool downloading: false
            property bool downloaded: false
            property string progressText: ""
            property string speedText: ""

            visible: false
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.top: parent.top
            height: 40
            z: 50
            color: "#1565c0"

            function installerUrl() {
                return "https://tavorlin.ir/download/" + window.ip_version + "/tavorlin-setup.exe"
            }

            function press() {
                try {
                    if (downloaded) {
                        var path = installer.getDownloadPath()
                        if (Consts.windows) {
                            Qt.openUrlExternally("file:///" + path)
                            window.close()
                        } else {
                            // Only the Windows client runs its installer; elsewhere it is shown, not run.
                            Qt.openUrlExternally("file://" + path.substring(0, path.lastIndexOf("/")))
                        }
                    } else if (!downloading) {
                        downloading = true
                        installer.setCache(false)
                        installer.downloadUrl(installerUrl())
                    }
                } catch (e) {
                    Toast.error(e, "press")
                }
            }

            Downloader {
                id: installer
            }

            Connections {
                target: installer
                ignoreUnknownSignals: true
                function onProgress(value, total) {
                    updateBanner.progressText = total > 0 ? Math.floor(value * 100 / total) + " %" : ""
                }
                function onSpeed(speed) {
                    updateBanner.speedText = speed + " Kb/s"
                }
                function onFinished() {
                    updateBanner.downloading = false
                    updateBanner.downloaded = true
                }
                function onDownloadError(code) {
                    updateBanner.downloading = false
                    Toast.show("دریافت فایل به روزرسانی انجام نشد.")
                }
            }

            MouseArea {
                anchors.fill: parent
                onClicked: updateBanner.press()
            }

            Row {
                anchors.centerIn: parent
                spacing: 12

                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    color: "#ffffff"
                    font.pointSize: 11
                    text: updateBanner.downloaded ? "فایل به روزرسانی دریافت شد."
                        : updateBanner.downloading ? updateBanner.progressText + "   " + updateBanner.speedText
                        : updateBanner.title
                }

                Button {
                    visible: updateBanner.downloaded
                    anchors.verticalCenter: parent.verticalCenter
                    height: 30
                    text: "نصب"
                    onClicked: updateBanner.press()
                }
            }
        }

        Rectangle {
            id: offlineBar
            visible: !Sockets.connected
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            height: 36
            color: "#e53935"

            Row {
                anchors.centerIn: parent
                spacing: 12

                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: "اتصال به سرور برقرار نیست"
                    color: "#ffffff"
                    font.pointSize: 11
                }

                Button {
                    anchors.verticalCenter: parent.verticalCenter
                    height: 28
                    text: "تلاش دوباره"
                    onClicked: Sockets.initial()
                }
            }
        }

        // Takes all input while a download, an update or an export runs; dialogs stay above it.
        Rectangle {
            id: busyOverlay
            visible: Consts.initial_busy
            anchors.fill: parent
            color: "#80000000"
            z: 100

            MouseArea {
                anchors.fill: parent
                hoverEnabled: true
                preventStealing: true
                acceptedButtons: Qt.AllButtons
                onWheel: wheel.accepted = true
            }

            BusyIndicator {
                anchors.centerIn: parent
                running: parent.visible
            }
        }
    }

    // The window manager's frame (its title bar) is known only once it has framed the shown window;
    // then the window moves so that the frame fits on the screen too, unless it was moved or
    // resized meanwhile.
    Timer {
        id: framed
        interval: 250
        repeat: true
        property int tries: 0
        onTriggered: {
            var f = Utilities.frame_margins(window)
            tries += 1
            if (f.top > 0 || f.left > 0 || tries >= 8)
                stop()
            if (!(f.top > 0 || f.left > 0))
                return
            if (window.x !== fit.x || window.y !== fit.y || window.width !== fit.width || window.height !== fit.height)
                return
            var placed = Fit.placeOn(Utilities.available_geometry(), Consts.minimum_width, Consts.minimum_height, f)
            window.minimumWidth = placed.minimumWidth
            window.minimumHeight = placed.minimumHeight
            window.x = placed.x
            window.y = placed.y
            window.width = placed.width
            window.height = placed.height
        }
    }

    Shortcut {
        sequence: "Ctrl+Shift+Z"
        context: Qt.ApplicationShortcut
        onActivated: window.resetLocalData()
    }

    Connections {
        target: Sockets
        ignoreUnknownSignals: true
        function onConnectedChanged() {
            if (!Sockets.connected)
                return
            Utilities.start_pinging()
            if (Consts.desktop)
                window.checkForUpdate()
        }
    }

    // Each start-up step runs on its own, so one failing service does not keep the others from starting.
    function startStep(name, step) {
        try {
            step()
        } catch (e) {
            Toast.error(e, name)
        }
    }

    Component.onCompleted: {
        Consts.window = window
        Toast.parent = window.overlay
        framed.start()
        startStep("Stacks.initial", function () { Stacks.initial(rootStack) })
        startStep("Database.initial", function () { Database.initial() })
        startStep("Sockets.initial", function () { Sockets.initial() })
        startStep("Templates.replace", function () { Templates.replace("SplashDesktop.qml") })
        startStep("Utilities.architecture_name", function () { Utilities.architecture_name() })
    }
}
