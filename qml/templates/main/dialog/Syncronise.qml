import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "../../../assets/syncrecords.js" as Records

// The first full download of an account, shown as rain over the agency: the account's old rows
// are cleared, the default boards made, and the download runs with its progress.
Popup {
    id: dialog

    // The services it drives; null means the program's own singleton.
    property var initialz: null
    property var database: null
    property var consts: null

    property real total: 0
    property real sum: 0
    property bool totalKnown: false
    // After the download: it ended, or it stopped on a failure.
    property bool done: false
    property bool failed: false
    // The rain finishes its last fall before the button comes.
    property bool rainStopped: false

    readonly property string waitText: " لطفا تا پایان بارندگی صبر کنید..."
    readonly property string doneText: "پس از باران رنگ ها تازه تر می شوند."
    readonly property string failedText: "دریافت اطلاعات کامل نشد."
    property string message: waitText
    readonly property string percent: Records.percentText(sum, total)

    signal finish()

    function ini() { return initialz ? initialz : Initialz }
    function db() { return database ? database : Database }
    function shared() { return consts ? consts : Consts }

    function show() {
        try {
            shared().hold("download")
            open()
            db().userDataCleared.connect(onCleared)
            db().clearUserData()
        } catch (e) {
            Toast.error(e, "Syncronise.show")
        }
    }

    // The account as the store has it now: its old boards went with the clearing.
    function onCleared() {
        try {
            db().userDataCleared.disconnect(onCleared)
            var user = db().currentUser()
            if (user && user.default_tavorlin === true) {
                startDownload()
            } else {
                db().tavorlinsSaved.connect(onDefaults)
                db().saveDefaultTavorlins()
            }
        } catch (e) {
            Toast.error(e, "userDataCleared")
        }
    }

    function onDefaults() {
        db().tavorlinsSaved.disconnect(onDefaults)
        startDownload()
    }

    function startDownload() {
        try {
            ini().progress.connect(onProgress)
            ini().end.connect(onEnd)
            ini().failed.connect(onFailed)
            ini().start()
        } catch (e) {
            Toast.error(e, "startDownload")
        }
    }

    function onProgress(max, value) {
        if (!totalKnown) {
            total = max
            totalKnown = true
        } else {
            sum += value
        }
    }

    function detach() {
        var links = [[ini().progress, onProgress], [ini().end, onEnd], [ini().failed, onFailed],
                     [db().userDataCleared, onCleared], [db().tavorlinsSaved, onDefaults]]
        for (var i = 0; i < links.length; ++i) {
            try {
                links[i][0].disconnect(links[i][1])
            } catch (e) {
            }
        }
    }

    // A dialog closed early must not be called by a download that goes on.
    Component.onDestruction: detach()

    function release() {
        shared().release("download")
    }

    function onEnd() {
        try {
            done = true
            message = doneText
            detach()
        } catch (e) {
            Toast.error(e, "Initialz.end")
        }
        release()
    }

    function onFailed(text) {
        try {
            done = true
            failed = true
            message = failedText
            detach()
        } catch (e) {
            Toast.error(e, "Initialz.failed")
        }
        release()
    }

    onOpened: rain.start()

    modal: true
    closePolicy: Popup.NoAutoClose
    x: 0
    y: 0
    width: parent ? parent.width : 800
    height: parent ? parent.height : 600
    padding: 0

    background: Rectangle {
        gradient: Gradient {
            GradientStop { position: 0; color: dialog.done && !dialog.failed ? "#81d4fa" : "#546e7a" }
            GradientStop { position: 1; color: dialog.done && !dialog.failed ? "#e1f5fe" : "#90a4ae" }
        }
    }

    contentItem: Item {
        id: sky
        clip: true
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        // 0 to 1 over one fall of the drops.
        property real fall: 0

        Repeater {
            model: 48
            Rectangle {
                readonly property real offset: (index * 37 % 48) / 48
                x: (index * 53 % 97) / 97 * sky.width
                y: ((sky.fall + offset) % 1) * (sky.height + 40) - 40
                width: 2
                height: 22
                radius: 1
                color: "#b3e5fc"
                opacity: dialog.rainStopped ? 0 : 0.7
            }
        }

        NumberAnimation {
            id: rain
            target: sky
            property: "fall"
            from: 0
            to: 1
            duration: 1200
            onFinished: {
                if (dialog.done)
                    dialog.rainStopped = true
                else
                    rain.restart()
            }
        }

        Rectangle {
            id: sun
            width: 120
            height: 120
            radius: 60
            x: sky.width - width - 60
            y: 60
            color: "#ffeb3b"
            opacity: dialog.done && !dialog.failed ? 1 : 0
            Behavior on opacity { NumberAnimation { duration: 800 } }
        }

        Column {
            anchors.centerIn: parent
            width: Math.min(480, sky.width - 40)
            spacing: 18

            Text {
                width: parent ? parent.width : 0
                visible: !dialog.done
                text: dialog.percent
                color: "#ffffff"
                font.pointSize: 28
                font.bold: true
                horizontalAlignment: Text.AlignHCenter
            }

            Text {
                width: parent ? parent.width : 0
                text: dialog.message
                color: dialog.done && !dialog.failed ? "#01579b" : "#ffffff"
                font.pointSize: 14
                wrapMode: Text.WordWrap
                horizontalAlignment: Text.AlignHCenter
            }

            Button {
                anchors.horizontalCenter: parent ? parent.horizontalCenter : undefined
                visible: dialog.rainStopped
                text: "شروع"
                onClicked: dialog.finish()
            }
        }
    }
}
