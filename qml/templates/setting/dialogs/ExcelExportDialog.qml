import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "excelexport.js" as Logic

// Starts an export of the files or the phone book, shows its progress and offers the workbook.
// Server pushes wait while the export runs; closing the dialog cancels it.
Popup {
    id: dialog

    // The services it drives; null means the program's own singleton.
    property var excel: null
    property var consts: null
    property var account: null

    // "choose", "running" or "done".
    property string phase: "choose"
    property string message: ""
    property real done: 0
    property real total: 0
    property string path: ""
    property bool holding: false

    function exporter() { return excel ? excel : Excel }
    function shared() { return consts ? consts : Consts }
    function acc() { return account ? account : Account }

    function initial(options) {
    }

    function start(contacts) {
        try {
            if (phase === "running")
                return
            phase = "running"
            message = Logic.runningText
            done = 0
            total = 0
            path = ""
            attach()
            shared().hold(Logic.holdName)
            holding = true
            exporter().setCanceled(false)
            if (contacts) {
                var user = acc().get()
                exporter().exportContactsToExcel(user ? Number(user.id) : -1, "")
            } else {
                var args = Logic.filesArguments(acc().isManagerLevel(), acc().userId(), acc().agentId())
                exporter().exportFilesToExcel(args[0], args[1], "")
            }
        } catch (e) {
            Toast.error(e, "ExcelExportDialog.start")
            finish()
            phase = "choose"
        }
    }

    function attach() {
        exporter().progress.connect(onProgress)
        exporter().exportComplete.connect(onComplete)
        exporter().exportFailed.connect(onFailed)
    }

    function detach() {
        var links = [[exporter().progress, onProgress], [exporter().exportComplete, onComplete],
                     [exporter().exportFailed, onFailed]]
        for (var i = 0; i < links.length; ++i) {
            try {
                links[i][0].disconnect(links[i][1])
            } catch (e) {
            }
        }
    }

    // Stops listening and lets the held pushes in; once per export.
    function finish() {
        detach()
        if (holding) {
            holding = false
            shared().release(Logic.holdName)
        }
    }

    function onProgress(p, max) {
        done = p
        total = max
    }

    function onComplete(savedPath) {
        try {
            path = savedPath
            message = Logic.doneText
            phase = "done"
        } catch (e) {
            Toast.error(e, "exportComplete")
        }
        finish()
    }

    // Where the desktop has no program for workbooks, the user learns where the file is.
    function openWorkbook() {
        try {
            if (!Qt.openUrlExternally(Logic.fileUrl(path)))
                message = Logic.openFailedText(path)
        } catch (e) {
            Toast.error(e, "openWorkbook")
        }
    }

    function onFailed(text) {
        try {
            message = text
            phase = "choose"
        } catch (e) {
            Toast.error(e, "exportFailed")
        }
        finish()
    }

    onClosed: {
        if (phase === "running")
            exporter().setCanceled(true)
        finish()
    }
    Component.onDestruction: finish()

    modal: true
    focus: true
    closePolicy: Popup.CloseOnEscape
    anchors.centerIn: Overlay.overlay
    width: 420
    padding: 20

    contentItem: Column {
        spacing: 14
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        UTitle {
            title: Logic.title
        }

        Text {
            objectName: "excelMessage"
            width: parent.width
            visible: dialog.message !== ""
            text: dialog.message
            textFormat: Text.PlainText
            font.pointSize: 12
            // A long path breaks where it must.
            wrapMode: Text.Wrap
            // Mirrored with the column: from the right edge.
            horizontalAlignment: Text.AlignLeft
        }

        ProgressBar {
            objectName: "excelProgress"
            width: parent.width
            visible: dialog.phase === "running"
            from: 0
            to: 1
            value: Logic.fraction(dialog.done, dialog.total)
        }

        Button {
            objectName: "excelFilesButton"
            width: parent.width
            visible: dialog.phase === "choose"
            text: Logic.filesButton
            onClicked: dialog.start(false)
        }

        Button {
            objectName: "excelContactsButton"
            width: parent.width
            visible: dialog.phase === "choose" && Logic.showContacts(dialog.acc().isManager())
            text: Logic.contactsButton
            onClicked: dialog.start(true)
        }

        Button {
            objectName: "excelOpenButton"
            width: parent.width
            visible: dialog.phase === "done"
            text: Logic.openButton
            onClicked: dialog.openWorkbook()
        }

        UButtons {
            Button {
                text: Logic.closeButton
                onClicked: dialog.close()
            }
        }
    }
}
