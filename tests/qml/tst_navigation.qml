import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Window 2.15
import QtTest 1.2
import com 1.0

TestCase {
    name: "Navigation"
    when: windowShown
    width: 800
    height: 600

    StackView {
        id: stack
        anchors.fill: parent
    }

    Component {
        id: page
        Item { property string tag: "" }
    }

    // Dialogs are created under the application window; here that is the test's own window.
    function initTestCase() {
        Consts.window = stack.Window.window
    }

    function cleanupTestCase() {
        Consts.window = null
    }

    function init() {
        Stacks.initial(stack)
        stack.clear()
    }

    function openMessage(title) {
        var dialog = Templates.dialog("dialog/DMessage.qml", {"title": title}, "com")
        verify(dialog !== null)
        compare(dialog.title, title)
        dialog.open()
        tryCompare(dialog, "opened", true)
        return dialog
    }

    function test_sources() {
        compare(Templates.source("main/Index.qml"), "qrc:/templates/main/Index.qml")
        compare(Templates.source("dialog/DLock.qml", "com"), "qrc:/com/dialog/DLock.qml")
    }

    function test_dialogs_closed_out_of_order() {
        var first = openMessage("first")
        var second = openMessage("second")
        compare(Templates.dialogs.length, 2)
        first.close()
        tryCompare(Templates.dialogs, "length", 1)
        verify(Templates.dialogs[0] === second, "the dialog still open keeps its entry")
        second.close()
        tryCompare(Templates.dialogs, "length", 0)
    }

    function test_close_all_dialogs() {
        openMessage("a")
        openMessage("b")
        var unopened = Templates.dialog("dialog/DMessage.qml", {}, "com")
        verify(unopened !== null)
        Templates.closeAllDialogs()
        tryCompare(Templates.dialogs, "length", 0)
    }

    function test_missing_dialog_answers_null() {
        ignoreWarning(new RegExp("^Error 'Loading View' QML path: dialog/NoSuch.qml"))
        compare(Templates.dialog("dialog/NoSuch.qml", {}, "com"), null)
    }

    function test_back_walks_pages_and_dialogs() {
        compare(Stacks.back(), true, "nothing recorded: the caller may close the window")
        Stacks.replaceAll(page, {"tag": "root"})
        Stacks.push(page, Stacks.main, {"tag": "second"})
        compare(stack.depth, 2)
        compare(Stacks.last().tag, "second")
        var dialog = openMessage("over the page")
        Stacks.push(dialog, Stacks.dialog)
        compare(Stacks.back(), false)
        tryCompare(dialog, "opened", false)
        compare(stack.depth, 2, "the dialog went first")
        compare(Stacks.back(), false)
        tryCompare(stack, "depth", 1)
        compare(Stacks.last().tag, "root")
        compare(Stacks.back(), true)
    }

    function test_dialog_closed_by_itself_leaves_no_record() {
        Stacks.replaceAll(page, {"tag": "root"})
        Stacks.push(page, Stacks.main, {"tag": "second"})
        var dialog = openMessage("self closing")
        Stacks.push(dialog, Stacks.dialog)
        dialog.close()
        tryCompare(dialog, "opened", false)
        compare(Stacks.back(), false)
        tryCompare(stack, "depth", 1)
    }

    function test_replace_all_drops_page_records() {
        Stacks.replaceAll(page, {"tag": "root"})
        Stacks.push(page, Stacks.main, {"tag": "second"})
        Stacks.replaceAll(page, {"tag": "new root"})
        compare(stack.depth, 1)
        compare(Stacks.last().tag, "new root")
        compare(Stacks.back(), true)
    }
}
