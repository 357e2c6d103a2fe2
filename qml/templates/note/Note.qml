import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "notes.js" as Notes
import "reply.js" as Reply
import "qrc:/com/rowsync.js" as RowSync

// The notes drawer: today's notes and the open tasks with their badges, the note list ("all" and
// "today") and the task list (open and done). Notes are written through the server and read from
// the store; tasks live on the server only.
Page {
    id: drawer
    objectName: "note_drawer"
    // Drawers and dialogs sit outside the window's mirrored content.
    LayoutMirroring.enabled: true
    LayoutMirroring.childrenInherit: true

    property int noteCount: 0
    property int taskCount: 0
    // 0 notes, 1 tasks.
    property int section: 0
    // Notes: 0 all, 1 today. Tasks: 0 open, 1 done.
    property int noteFilter: 0
    property int taskType: 0
    property var notes: []
    property var tasks: []
    // A task done or edited changes its row in place, so the list stays where it was.
    onTasksChanged: RowSync.assign(taskModel, tasks)

    ListModel {
        id: taskModel
    }
    property var agents: []
    property bool agentsLoaded: false
    property bool tasksLoading: false
    // The open question, closed with the drawer.
    property QtObject confirmDialog: null

    // The menu bar follows today's count by these.
    signal noteAdded()
    signal noteRemoved()
    // The server's count of open tasks, asked again after every task change.
    signal tasksCounted(int count)

    function me() {
        var acc = Account.get() || {}
        return {"_id": Account.isManager() ? Account.userId() : Account.agentId(),
                "name_family": acc.name_family || "", "image": acc.image || ""}
    }

    function content(extra) {
        var c = {"user_id": Account.userId(), "agent_id": Account.agentId()}
        for (var k in extra)
            c[k] = extra[k]
        return c
    }

    function todayCount() {
        var b = Notes.todayBounds()
        return Database.todayNoteCount(b.start, b.end)
    }

    // Recounts today's notes from the store and lets the menu bar follow by one.
    function recountNotes() {
        var before = noteCount
        noteCount = todayCount()
        if (noteCount > before)
            noteAdded()
        else if (noteCount < before)
            noteRemoved()
    }

    function requestCount() {
        try {
            var owner = Account.user() || {}
            Sockets.on("count_result", function (reply) {
                Sockets.off("count_result")
                var count = reply && reply.content && reply.content.count ? reply.content.count : null
                if (count && count.task !== undefined) {
                    drawer.taskCount = Number(count.task) || 0
                    drawer.tasksCounted(drawer.taskCount)
                }
            })
            Sockets.send("count", content({"map": owner.map}))
        } catch (e) {
            Toast.error(e, "requestCount")
        }
    }

    // getNotes answers directly and through noteListReady; the direct answer is used.
    function loadNotes() {
        try {
            var all = []
            var handler = function (list) { all = list }
            Database.noteListReady.connect(handler)
            Database.getNotes()
            Database.noteListReady.disconnect(handler)
            notes = noteFilter === 1 ? Notes.todayNotes(all, Notes.todayBounds()) : all
        } catch (e) {
            Toast.error(e, "loadNotes")
        }
    }

    function loadAgents() {
        if (agentsLoaded)
            return
        try {
            var handler = function (list) {
                Database.agentListReady.disconnect(handler)
                drawer.agents = list
                drawer.agentsLoaded = true
                drawer.tasks = drawer.tasks.map(function (t) { return Notes.resolveTask(t, drawer.agents, drawer.me()) })
            }
            Database.agentListReady.connect(handler)
            Database.getAgents()
        } catch (e) {
            Toast.error(e, "loadAgents")
        }
    }

    function resolved(task) {
        return Notes.resolveTask(task, agents, me())
    }

    function loadTasks() {
        try {
            var asked = taskType
            tasksLoading = true
            Sockets.on("task_list_result", function (reply) {
                Sockets.off("task_list_result")
                Sockets.off("task_list_result_error")
                drawer.tasksLoading = false
                // A reply to a list the user has since switched away from is dropped.
                if (asked !== drawer.taskType)
                    return
                var list = reply && reply.content && reply.content.list ? reply.content.list : null
                if (list === null) {
                    Toast.show(Reply.messageOf(reply))
                    return
                }
                drawer.tasks = list.map(drawer.resolved)
            })
            Sockets.on("task_list_result_error", function () {
                Sockets.off("task_list_result_error")
                drawer.tasksLoading = false
            })
            Sockets.send("task_list", Notes.taskListContent(Account.userId(), Account.agentId(),
                                                             Account.isViceManager(), taskType))
        } catch (e) {
            Toast.error(e, "loadTasks")
        }
    }

    function saveNote(form) {
        try {
            var edit = noteEditor.note
            var c = Notes.noteContent(form, Account.userId(), Account.agentId(), edit ? edit._id : undefined)
            if (c.error) {
                Toast.show(c.error)
                return
            }
            var name = edit ? "note_edit" : "note_create"
            Sockets.on(name + "_result", function (reply) {
                Sockets.off(name + "_result")
                var result = Reply.resultOf(reply)
                if (!result) {
                    Toast.show(Reply.messageOf(reply))
                    return
                }
                Database.saveNote(result, edit ? true : false)
                noteEditor.close()
                drawer.loadNotes()
                drawer.recountNotes()
            })
            Sockets.send(name, c)
        } catch (e) {
            Toast.error(e, "saveNote")
        }
    }

    function removeNote(note) {
        try {
            Sockets.on("note_remove_result", function (reply) {
                Sockets.off("note_remove_result")
                var result = Reply.resultOf(reply)
                if (!result) {
                    Toast.show(Reply.messageOf(reply))
                    return
                }
                Database.deleteNote(result._id, Reply.stampOf(reply))
                drawer.loadNotes()
                drawer.recountNotes()
            })
            Sockets.send("note_remove", content({"note_id": note._id}))
        } catch (e) {
            Toast.error(e, "removeNote")
        }
    }

    function saveTask(form) {
        try {
            var edit = taskEditor.task
            var c = Notes.taskContent(form, Account.userId(), Account.agentId(), edit ? edit._id : undefined)
            if (c.error) {
                Toast.show(c.error)
                return
            }
            var name = edit ? "task_edit" : "task_create"
            Sockets.on(name + "_result", function (reply) {
                Sockets.off(name + "_result")
                var result = Reply.resultOf(reply)
                if (!result) {
                    Toast.show(Reply.messageOf(reply))
                    return
                }
                taskEditor.close()
                drawer.replaceTask(result, !edit)
                drawer.requestCount()
            })
            Sockets.send(name, c)
        } catch (e) {
            Toast.error(e, "saveTask")
        }
    }

    // A task from a reply enters the list or replaces its old entry.
    function replaceTask(task, prepend) {
        var list = tasks.slice()
        var i = Notes.indexById(list, task._id)
        if (i !== -1)
            list[i] = resolved(task)
        else if (prepend)
            list.unshift(resolved(task))
        tasks = list
    }

    function dropTask(id) {
        var list = tasks.slice()
        var i = Notes.indexById(list, id)
        if (i !== -1)
            list.splice(i, 1)
        tasks = list
    }

    function removeTask(task) {
        try {
            Sockets.on("task_remove_result", function (reply) {
                Sockets.off("task_remove_result")
                var result = Reply.resultOf(reply)
                if (!result) {
                    Toast.show(Reply.messageOf(reply))
                    return
                }
                drawer.dropTask(result._id !== undefined ? result._id : task._id)
                drawer.requestCount()
            })
            Sockets.send("task_remove", content({"task_id": task._id}))
        } catch (e) {
            Toast.error(e, "removeTask")
        }
    }

    function doneTask(task, description) {
        try {
            Sockets.on("task_done_result", function (reply) {
                Sockets.off("task_done_result")
                var result = Reply.resultOf(reply)
                if (!result) {
                    Toast.show(Reply.messageOf(reply))
                    return
                }
                doneDialog.close()
                drawer.replaceTask(result, false)
                drawer.requestCount()
            })
            Sockets.send("task_done", content({"task_id": task._id, "description": String(description || "")}))
        } catch (e) {
            Toast.error(e, "doneTask")
        }
    }

    function confirm(text, action) {
        confirmDialog = Templates.confirm({"title": text}, action)
    }

    function showSection(index) {
        section = index
        if (index === 1)
            loadTasks()
        else
            loadNotes()
    }

    function initial() {
        noteCount = todayCount()
        loadNotes()
        loadAgents()
        requestCount()
    }

    header: Column {
        width: drawer.width

        TabBar {
            id: sections
            width: parent.width
            currentIndex: drawer.section
            onCurrentIndexChanged: if (currentIndex !== drawer.section) drawer.showSection(currentIndex)

            Repeater {
                model: [{"title": "یادداشت ها", "key": "notes"}, {"title": "وظایف", "key": "tasks"}]
                UTabButton {
                    id: sectionTab
                    objectName: "note_section_" + modelData.key
                    contentItem: Row {
                        spacing: 6
                        layoutDirection: Qt.RightToLeft
                        Text {
                            text: modelData.title
                            color: sectionTab.foreground
                            font.pointSize: 11
                            anchors.verticalCenter: parent.verticalCenter
                        }
                        Rectangle {
                            readonly property int count: index === 0 ? drawer.noteCount : drawer.taskCount
                            objectName: "badge_" + modelData.key
                            visible: count > 0
                            width: Math.max(20, badge.implicitWidth + 8)
                            height: 20
                            radius: 10
                            color: "#e53935"
                            anchors.verticalCenter: parent.verticalCenter
                            Text {
                                id: badge
                                anchors.centerIn: parent
                                text: parent.count
                                color: "#ffffff"
                                font.pointSize: 9
                            }
                        }
                    }
                }
            }
        }

        // As wide as the drawer, so that mirrored its buttons start at the right edge.
        Row {
            width: parent.width
            spacing: 6
            padding: 6

            Repeater {
                model: drawer.section === 0 ? [{"key": "all", "title": "همه"}, {"key": "today", "title": "امروز"}]
                                            : [{"key": "open", "title": "انجام نشده"}, {"key": "done", "title": "انجام شده"}]
                // The chosen one follows the filter: a click does not toggle it by itself.
                UTabButton {
                    objectName: (drawer.section === 0 ? "note_filter_" : "task_filter_") + modelData.key
                    width: implicitWidth
                    leftPadding: 12
                    rightPadding: 12
                    text: modelData.title
                    checkable: false
                    checked: (drawer.section === 0 ? drawer.noteFilter : drawer.taskType) === index
                    onClicked: {
                        if (drawer.section === 0) {
                            drawer.noteFilter = index
                            drawer.loadNotes()
                        } else {
                            drawer.taskType = index
                            drawer.tasks = []
                            drawer.loadTasks()
                        }
                    }
                }
            }

            Button {
                objectName: drawer.section === 0 ? "note_add" : "task_add"
                text: "+ افزودن"
                highlighted: true
                onClicked: drawer.section === 0 ? noteEditor.start(null) : taskEditor.start(null, drawer.agents)
            }
        }
    }

    ListView {
        id: noteList
        objectName: "note_list"
        visible: drawer.section === 0
        anchors.fill: parent
        anchors.margins: 6
        spacing: 6
        clip: true
        model: drawer.notes

        delegate: Rectangle {
            objectName: "note_row_" + modelData._id
            width: ListView.view.width
            height: Math.max(noteColumn.implicitHeight, noteActions.implicitHeight) + 16
            radius: 6
            color: modelData.color || "#eceff1"

            // The list shows the start of a note; the editor shows it whole.
            MouseArea {
                anchors.fill: parent
                onClicked: noteEditor.start(modelData)
            }

            Column {
                id: noteColumn
                anchors.left: parent.left
                anchors.right: noteActions.left
                anchors.top: parent.top
                anchors.margins: 8
                spacing: 4
                Text { width: parent.width; text: modelData.title; textFormat: Text.PlainText; font.bold: true; elide: Text.ElideRight }
                Text {
                    objectName: "note_text_" + modelData._id
                    width: parent.width
                    text: modelData.body
                    textFormat: Text.PlainText
                    wrapMode: Text.Wrap
                    maximumLineCount: 3
                    elide: Text.ElideRight
                }
                // Mirrored with the drawer: under the title at the right edge.
                Text {
                    width: parent.width
                    text: Dates.timestamp_to_jdate(modelData.date, true)
                    textFormat: Text.PlainText
                    horizontalAlignment: Text.AlignLeft
                    color: "#455a64"
                    font.pointSize: 9
                }
            }

            Column {
                id: noteActions
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                ToolButton {
                    objectName: "note_edit_" + modelData._id
                    font.family: Fonts.icon
                    text: String.fromCodePoint(parseInt(Icons.pencilOutline, 16))
                    onClicked: noteEditor.start(modelData)
                }
                ToolButton {
                    objectName: "note_remove_" + modelData._id
                    font.family: Fonts.icon
                    text: String.fromCodePoint(parseInt(Icons.deleteOutline, 16))
                    onClicked: {
                        var note = modelData
                        drawer.confirm("آیا از حذف این یادداشت مطمئن هستید ؟", function () { drawer.removeNote(note) })
                    }
                }
            }
        }

        Label {
            anchors.centerIn: parent
            visible: noteList.count === 0
            text: "یادداشتی وجود ندارد"
            color: "#78909c"
        }
    }

    ListView {
        id: taskList
        objectName: "task_list"
        visible: drawer.section === 1
        anchors.fill: parent
        anchors.margins: 6
        spacing: 6
        clip: true
        model: taskModel

        delegate: Rectangle {
            readonly property var modelData: JSON.parse(model.json)
            objectName: "task_row_" + modelData._id
            width: ListView.view.width
            height: Math.max(taskColumn.implicitHeight, taskActions.implicitHeight) + 16
            radius: 6
            color: modelData.completer ? "#e8f5e9" : "#eceff1"

            Column {
                id: taskColumn
                anchors.left: parent.left
                anchors.right: taskActions.left
                anchors.top: parent.top
                anchors.margins: 8
                spacing: 4
                Text { width: parent.width; text: modelData.title || ""; textFormat: Text.PlainText; font.bold: true; elide: Text.ElideRight }
                Text { width: parent.width; text: modelData.body || ""; textFormat: Text.PlainText; wrapMode: Text.Wrap; visible: text !== "" }
                Text {
                    objectName: "task_assignees_" + modelData._id
                    width: parent.width
                    visible: modelData.assignees && modelData.assignees.length > 0
                    text: "مسئول: " + Notes.names(modelData.assignees || [])
                    textFormat: Text.PlainText
                    wrapMode: Text.Wrap
                    font.pointSize: 9
                }
                Text {
                    objectName: "task_completer_" + modelData._id
                    width: parent.width
                    visible: !!modelData.completer
                    text: modelData.completer ? "انجام شده توسط: " + modelData.completer.name_family : ""
                    textFormat: Text.PlainText
                    color: "#2e7d32"
                    font.pointSize: 9
                }
            }

            Column {
                id: taskActions
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                ToolButton {
                    objectName: "task_done_" + modelData._id
                    visible: !modelData.completer
                    font.family: Fonts.icon
                    text: String.fromCodePoint(parseInt(Icons.checkCircleOutline, 16))
                    onClicked: doneDialog.start(modelData)
                }
                ToolButton {
                    objectName: "task_edit_" + modelData._id
                    font.family: Fonts.icon
                    text: String.fromCodePoint(parseInt(Icons.pencilOutline, 16))
                    onClicked: taskEditor.start(modelData, drawer.agents)
                }
                ToolButton {
                    objectName: "task_remove_" + modelData._id
                    font.family: Fonts.icon
                    text: String.fromCodePoint(parseInt(Icons.deleteOutline, 16))
                    onClicked: {
                        var task = modelData
                        drawer.confirm("آیا از حذف این وظیفه مطمئن هستید ؟", function () { drawer.removeTask(task) })
                    }
                }
            }
        }

        BusyIndicator {
            anchors.centerIn: parent
            running: drawer.tasksLoading
            visible: running
        }
    }

    NoteEditor {
        id: noteEditor
        onAccepted: drawer.saveNote(form)
    }

    TaskEditor {
        id: taskEditor
        onAccepted: drawer.saveTask(form)
    }

    Popup {
        id: doneDialog
        property var task: null
        modal: true
        anchors.centerIn: Overlay.overlay
        width: 340
        padding: 16

        function start(t) {
            task = t
            description.text = ""
            open()
        }

        contentItem: Column {
            spacing: 10
            UTitle { title: "انجام وظیفه" }
            TextArea {
                id: description
                objectName: "task_description"
                width: parent.width
                height: 70
                placeholderText: "توضیحات"
                wrapMode: TextEdit.Wrap
                textFormat: TextEdit.PlainText
                background: Rectangle { border.color: "#b0bec5"; radius: 4 }
            }
            UButtons {
                Button {
                    objectName: "task_done_confirm"
                    text: "ثبت"
                    highlighted: true
                    onClicked: drawer.doneTask(doneDialog.task, description.text)
                }
            }
        }
    }

    // An editor left open in a closed drawer would still hold the window's input.
    onVisibleChanged: {
        if (visible)
            return
        noteEditor.close()
        taskEditor.close()
        doneDialog.close()
        if (confirmDialog)
            confirmDialog.close()
    }

    Component.onCompleted: initial()
}
