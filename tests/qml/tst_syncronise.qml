import QtQuick 2.15
import QtTest 1.2

// The download dialog with stand-ins: clearing, default boards, progress, the busy flag and the
// held notices at the end or on a failure.
TestCase {
    name: "Syncronise"
    when: windowShown
    width: 800
    height: 600

    StandInDatabase { id: db }
    QtObject {
        id: initialz
        signal progress(int max, int value)
        signal end()
        signal failed(string message)
        property int starts: 0
        function start() { starts++ }
    }
    QtObject {
        id: consts
        property bool initial_busy: false
        property var pending_notifies: []
        property int applied: 0
        function applyPendingNotifies() { applied++; pending_notifies = [] }
        property var holds: []
        function hold(n) { holds = holds.concat([n]); initial_busy = true }
        function isHeld(n) { return holds.indexOf(n) !== -1 }
        function release(n, replay) {
            var h = holds.slice(); var i = h.indexOf(n)
            if (i !== -1) h.splice(i, 1)
            holds = h
            if (h.length === 0) { initial_busy = false; if (replay !== false) applyPendingNotifies() }
        }
    }

    property var dialog: null
    property int finishes: 0

    function init() {
        db.reset(); initialz.starts = 0; consts.initial_busy = false; consts.holds = []; consts.applied = 0; finishes = 0
        dialog = Qt.createComponent("qrc:/templates/main/dialog/Syncronise.qml").createObject(this, {
            "initialz": initialz, "database": db, "consts": consts})
        verify(dialog)
        dialog.finish.connect(function () { finishes++ })
    }

    function cleanup() {
        if (dialog)
            dialog.destroy()
        dialog = null
    }

    function test_download_after_clearing_and_default_boards() {
        dialog.show()
        verify(consts.initial_busy)
        compare(db.slots(), ["clearUserData"])
        db.answer()
        compare(db.slots(), ["clearUserData", "saveDefaultTavorlins"], "the cleared account has no default board")
        compare(initialz.starts, 0)
        db.answer()
        compare(initialz.starts, 1)

        initialz.progress(2000, 0)
        compare(dialog.percent, "0 %")
        initialz.progress(2000, 1000)
        initialz.progress(2000, 999)
        compare(dialog.percent, "99 %")
        initialz.progress(2000, 1)
        compare(dialog.percent, "100 %")

        initialz.end()
        verify(!consts.initial_busy)
        compare(consts.applied, 1)
        compare(dialog.message, dialog.doneText)
        tryVerify(function () { return dialog.rainStopped }, 3000, "the button comes when the rain has stopped")
        initialz.end()
        compare(consts.applied, 1, "the dialog listens no more")
    }

    function test_an_account_with_its_default_boards_goes_straight_on() {
        db.user = {"_id": "u1", "default_tavorlin": true}
        dialog.show()
        db.answer()
        compare(initialz.starts, 1)
        compare(db.slots(), ["clearUserData"])
    }

    function test_a_failed_download_releases_the_window() {
        dialog.show()
        db.answer()
        db.answer()
        initialz.failed("x")
        verify(!consts.initial_busy)
        compare(consts.applied, 1)
        verify(dialog.failed)
        tryVerify(function () { return dialog.rainStopped }, 3000)
    }
}
