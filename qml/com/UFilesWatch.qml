import QtQml 2.15
import com 1.0

// Keeps a screen that shows files or their counts up to date with the store: `refresh` comes once
// the files changed, at once while the screen is seen, otherwise when it is seen again; once for
// a burst of writes, and not while a download or an update holds the screens (once, after it).
QtObject {
    id: watch

    // Whether the screen is seen now.
    property bool seen: true
    property var database: Database

    // The screen reads again.
    signal refresh()

    // The screen read by itself: what it shows is as new as the store is now.
    function taken() {
        readAt = database ? database.filesRevision : 0
    }

    // The screen showed a change of its own in place, made from `before` on: when it was up to
    // date then, it is now.
    function shownInPlace(before) {
        if (readAt === before)
            taken()
    }

    property int readAt: 0
    readonly property int revision: database ? database.filesRevision : 0
    readonly property bool busy: Consts.initial_busy === true

    // Against the store's revision as it is now: a read of the screen's own may already be newer
    // than the change last announced.
    function check() {
        var now = database ? database.filesRevision : 0
        if (!seen || busy || readAt === now)
            return
        readAt = now
        refresh()
    }

    onRevisionChanged: Qt.callLater(check)
    onSeenChanged: Qt.callLater(check)
    onBusyChanged: Qt.callLater(check)
    Component.onCompleted: taken()
}
