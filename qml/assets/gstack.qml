pragma Singleton
import QtQuick 2.15

// Back navigation over the root page stack and the dialogs opened on top of it.
QtObject {
    id: stacks

    readonly property int main: 1
    readonly property int dialog: 2

    property var stack: null
    // One {status, view} per push, in push order.
    property var records: []

    function initial(rootStack) {
        stack = rootStack
        records = []
    }

    function push(view, status, options) {
        if (status === undefined || status === null)
            status = main
        if (status === main) {
            var page = stack.push(view, options || {})
            records.push({"status": main, "view": page})
            return page
        }
        records.push({"status": dialog, "view": view})
        // A dialog closed by its own buttons must not leave a record that back() would close again.
        if (view && view.closed)
            view.closed.connect(function () { forget(view) })
        return view
    }

    function replace(view, options) {
        return stack.replace(view, options || {})
    }

    // Every page goes; the records of the pages with it.
    function replaceAll(view, options) {
        records = records.filter(function (r) { return r.status === dialog })
        if (stack.depth === 0)
            return stack.push(view, options || {})
        return stack.replace(null, view, options || {})
    }

    function back() {
        if (records.length === 0)
            return true
        var record = records.pop()
        if (record.status === main) {
            if (stack.depth > 1)
                stack.pop()
        } else if (record.view) {
            var view = record.view
            if (view.closed)
                view.closed.connect(function () { view.destroy() })
            view.close()
        }
        return false
    }

    function last() {
        return stack ? stack.currentItem : null
    }

    function forget(view) {
        for (var i = records.length - 1; i >= 0; --i) {
            if (records[i].view === view) {
                records.splice(i, 1)
                return
            }
        }
    }
}
