pragma Singleton
import QtQuick 2.15

// The board colours a user may choose; a board's colour is the 1-based number of its entry.
QtObject {
    readonly property var tavorlins: {
        var list = []
        for (var i = 1; i <= 48; ++i)
            list.push({"color": String(i), "select": false})
        return list
    }
}
