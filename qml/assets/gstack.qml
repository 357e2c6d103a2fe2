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

    // The page stack an item lies on: its nearest enclosing StackView (a page container's own, or
    // the root stack), or null for an item of a dialog without one.
    function stackOf(item) {
        for (var p = item ? item.parent : null; p; p = p.parent) {
            if (typeof p.push === "function" && typeof p.pop === "function" && p.depth !== undefined
                    && p.currentItem !== undefined)
                return p
        }
        return null
    }

    // The page of that stack the item belongs to.
    function pageOf(item, view) {
        var p = item
        while (p && p.parent !== view)
            p = p.parent
        return p
    }

    // A screen opened from inside a page container (a board's list or "my agency" in a dialog)
    // goes on that container's own stack, in front of what the user sees; from anywhere else it
    // goes on the root stack.
    function open(from, view, options) {
        var own = stackOf(from)
        if (own && own !== stack)
            return own.push(view, options || {})
        return push(view, main, options)
    }

    // The way back from a screen, through the stack it was opened on: the page below it; the
    // first page of a container closes the container; a root page leaves as back() does.
    function leave(item) {
        var own = stackOf(item)
        if (!own || own === stack) {
            if (own && pageOf(item, own) !== own.currentItem)
                return false
            return back()
        }
        if (own.depth > 1) {
            own.pop()
            return false
        }
        for (var p = own.parent; p; p = p.parent) {
            if (typeof p.closeRequested === "function") {
                p.closeRequested()
                break
            }
        }
        return false
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
