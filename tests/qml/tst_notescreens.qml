import QtQuick 2.15
import QtTest 1.2
import com 1.0
import "qrc:/templates/note/notes.js" as Notes
import "qrc:/templates/note/reply.js" as Reply
import "qrc:/templates/contact/contacts.js" as Contacts
import "qrc:/templates/setting/tagsettings.js" as Tags
import "qrc:/templates/files/filenotes.js" as FileNotes
import "qrc:/com/chat/chatview.js" as Chat

// The logic of the notes, phone book, district, hashtag and file-note screens, and each screen
// loading without a warning over an empty store and no server.
TestCase {
    name: "NoteScreens"
    when: windowShown
    width: 800
    height: 600

    Item { id: host; anchors.fill: parent }

    function at(h, m, s, ms) {
        var d = new Date()
        d.setHours(h, m, s, ms)
        return d.getTime()
    }

    // The window runs 00:01:00.000 to 23:59:59.999 of the local day, whatever the second now is.
    function test_today_window() {
        var late = new Date()
        late.setHours(23, 59, 40, 0)
        var b = Notes.todayBounds(late.getTime())
        compare(b.start, at(0, 1, 0, 0))
        compare(b.end, at(23, 59, 59, 999))
        compare(Notes.todayBounds(at(0, 0, 5, 0)).end, b.end)
        verify(!Notes.isToday({"date": at(0, 0, 30, 0)}, b))
        verify(Notes.isToday({"date": at(23, 59, 40, 0)}, b))
        verify(Notes.isToday({"date": b.end}, b))
        verify(!Notes.isToday({"date": b.end + 1}, b))
        compare(Notes.todayNotes([{"date": at(12, 0, 0, 0)}, {"date": at(0, 0, 30, 0)}], b).length, 1)
        compare(Notes.alarmOf(at(9, 17, 33, 120), 12, 0), at(12, 0, 0, 0))
    }

    function test_note_and_task_content() {
        compare(Notes.noteContent({"title": "  ", "body": "x"}, "u", "a").error, Notes.emptyNoteMessage)
        compare(Notes.noteContent({"title": "t", "body": " \n "}, "u", "a").error, Notes.emptyNoteMessage)
        var c = Notes.noteContent({"title": " پیگیری ", "body": " متن ", "color": "#CE93D8", "alarm": 5}, "u", undefined, "n1")
        compare(c.title, "پیگیری")
        compare(c.body, "متن")
        compare(c.date.alarm, 5)
        compare(c.note_id, "n1")
        verify(Notes.noteContent({"title": "t", "body": "b", "alarm": 1}, "u").note_id === undefined)
        compare(Notes.taskContent({"title": ""}, "u").error, Notes.emptyTaskMessage)
        compare(Notes.taskContent({"title": "t", "assignedTo": ["a1"]}, "u", "a", "k1").task_id, "k1")
        verify(Notes.taskListContent("u", "a", true, 1).agent_id === undefined)
        compare(Notes.taskListContent("u", "a", false, 0).agent_id, "a")
        compare(Notes.presets.length, 6)
    }

    function test_task_people() {
        var agents = [{"_id": "a1", "name_family": "مشاور یک", "image": "p.jpg"}, {"_id": "a2", "name_family": "مشاور دو"}]
        var me = {"_id": "m1", "name_family": "مدیر"}
        var t = Notes.resolveTask({"_id": "k", "assignedTo": ["a2", "m1", "zz"], "doneBy": "a1"}, agents, me)
        compare(t.assignees.map(function (p) { return p.name_family }), ["مشاور دو", "مدیر", ""])
        compare(t.assignees[0].image, "")
        compare(t.completer.name_family, "مشاور یک")
        compare(t.completer.image, "p.jpg")
        compare(Notes.resolveTask({"_id": "k", "assignedTo": []}, agents, me).completer, null)
        compare(Notes.names(t.assignees), "مشاور دو، مدیر")
    }

    function test_reply_helpers() {
        compare(Reply.messageOf({"message": {"msg": "پیام"}}), "پیام")
        compare(Reply.messageOf({"message": "متن"}), "متن")
        verify(Reply.messageOf({"message": null}) !== "")
        compare(Reply.resultOf({"content": null}), null)
        compare(Reply.resultOf({"content": {"result": null}}), null)
        compare(Reply.stampOf({}), -1)
        compare(Reply.stampOf({"timestamp": 7}), 7)
    }

    // Answers on a shared signal go to the request before them; a request made meanwhile waits,
    // and the answer to the one it replaced is dropped.
    function test_requester() {
        var started = []
        var r = new Reply.Requester(function (args) { started.push(args.k) })
        verify(r.request({"k": 1}))
        verify(!r.request({"k": 2}))
        verify(!r.request({"k": 3}))
        compare(started, [1])
        compare(r.answer(), null)
        compare(started, [1, 3])
        compare(r.answer().k, 3)
        compare(r.answer(), null)
        // A request that never answers does not hold the next one back for ever.
        var lost = new Reply.Requester(function (args) { started.push(args.k) }, 100)
        verify(lost.request({"k": 4}, 1000))
        verify(!lost.request({"k": 5}, 1050))
        verify(lost.request({"k": 6}, 1200))
        compare(started.slice(-2), [4, 6])
        compare(lost.answer().k, 6)
    }

    function test_contact_rules() {
        compare(Contacts.tabs.map(function (t) { return t.kind }), [1, 2, 6, 5, 17, 18])
        compare(Contacts.pressAction(18), "edit")
        compare(Contacts.pressAction(1), "files")
        compare(Contacts.longPressAction(17), "none")
        compare(Contacts.longPressAction(18), "remove")
        compare(Contacts.longPressAction(5), "menu")
        compare(Contacts.customerFilter({"_id": "c1"}).value.value_1, "c1")
        compare(Contacts.editorContent({"name_family": " ", "mobile_1": "1"}, "u").error, Contacts.nameMessage)
        compare(Contacts.editorContent({"name_family": "n", "mobile_1": ""}, "u").error, Contacts.mobileMessage)
        var created = Contacts.editorContent({"name_family": "n", "mobile_1": "0912"}, "u", "a")
        compare(created.type, 18)
        compare(created.agent_id, "a")
        var edited = Contacts.editorContent({"name_family": "n", "mobile_1": "0912"}, "u", "a", "c1")
        compare(edited.contact_id, "c1")
        verify(edited.type === undefined)
        verify(Contacts.keepsKinds({"_id": "c", "type": [1]}))
        verify(!Contacts.keepsKinds({"_id": "c", "type": []}))
        verify(!Contacts.keepsKinds({"_id": "c"}))
        var list = [{"type": [1, 18], "name_family": "علی", "mobile_1": "0912"}]
        verify(Contacts.answers(list, 18, "عل"))
        verify(!Contacts.answers(list, 2, ""))
        verify(!Contacts.answers(list, 1, "رضا"))
        verify(Contacts.answers([], 5, "x"))
    }

    function test_tag_rules() {
        var rows = [{"_id": "d1", "title": "شمال"}, {"_id": "d2", "title": "جنوب"}]
        verify(Tags.isDuplicate(rows, "شمال"))
        verify(!Tags.isDuplicate(rows, "شمال", "d1"))
        var e = Tags.editContent("district", {"_id": "d1", "title": "شمال", "user_id": "m1"}, "غرب", "u", "a")
        compare(e.title, "غرب")
        compare(e.district_id, "d1")
        var h = Tags.editContent("hashtag", {"_id": "h1", "title": "قدیم"}, "نو", "u", "a")
        compare(h.hashtag, "نو")
        compare(h.hashtag_id, "h1")
        compare(Tags.createContent("hashtag", "نو", "u", "a").hashtag, "نو")
        compare(Tags.removeContent("district", {"_id": "d1"}, "u", "a").district_id, "d1")
        compare(Tags.fileFilter("hashtag", "h1").key, "hashtag_ref")
        compare(Tags.removalOutcome("district", {"exist": true, "result": {"_id": "d1"}}), "exist")
        compare(Tags.removalOutcome("district", {"result": null}), "failed")
        compare(Tags.removalOutcome("hashtag", {"exist": true, "result": {"_id": "h1"}}), "removed")
        var created = Tags.applyNotice(rows, "create", {"_id": "d3", "title": "شرق"})
        compare(created.length, 3)
        compare(Tags.applyNotice(created, "create", {"_id": "d3", "title": "شرق"}).length, 3)
        compare(Tags.applyNotice(rows, "edit", {"_id": "d2", "title": "مرکز"})[1].title, "مرکز")
        compare(rows[1].title, "جنوب")
        compare(Tags.applyNotice(rows, "remove", {"_id": "d1"}).length, 1)
        compare(Tags.applyNotice(rows, "edit", {"_id": "zz", "title": "x"}).length, 2)
    }

    // Newest first; a picture where the newer neighbour has another author; a date line where the
    // older neighbour is more than a day before.
    function test_chat_decoration() {
        var day = 86400000
        var list = [
            {"_id": "1", "user_ref": "a1", "message": "اول", "date": 1000},
            {"_id": "3", "user_ref": "m1", "message": "سوم", "date": 1000 + day + 2},
            {"_id": "2", "user_ref": "m1", "message": "دوم", "date": 1000 + day}
        ]
        var looked = 0
        var out = Chat.decorate(list, {"_id": "m1", "name_family": "من"}, function (id) {
            looked++
            return {"_id": id, "name_family": "همکار"}
        }, function (ms) { return "d" + ms })
        compare(out.map(function (m) { return m._id }), ["3", "2", "1"])
        compare(out.map(function (m) { return m.mine }), [true, true, false])
        compare(out.map(function (m) { return m.showAvatar }), [true, false, true])
        compare(out.map(function (m) { return m.showDate }), [false, false, true])
        compare(out[2].user.name_family, "همکار")
        compare(looked, 1)
        verify(Chat.decorate([{"_id": "x", "user_ref": "a1", "date": 5}], {"_id": "m1"}, null, null, true)[0].mine)
        var video = Chat.decorate([{"_id": "v", "type": 4, "media_links": ["https://h/a.b/v.mp4"], "create": 1}], {}, null, null)[0]
        compare(video.path, "https://h/a.b/v.mp4")
        compare(video.thumb, "https://h/a.b/v.jpg")
        compare(Chat.newMessage("  ", 1, "u").error, Chat.emptyMessage)
        var m = Chat.newMessage(" سلام ", 1, "u", "a")
        compare(m.message, "سلام")
        compare(m.agent_id, "a")
        verify(Chat.plain(out[0]).showAvatar === undefined)
    }

    function test_file_note_content() {
        var file = {"_id": "f1", "property_ref": 52}
        var c = FileNotes.messageContent({"message": "x", "type": 1}, file)
        compare(c.file_id, "f1")
        compare(c.property_id, 52)
        compare(FileNotes.listContent(file, "u", "a").property_id, 52)
        compare(FileNotes.removedIds([{"_id": "a"}, "b", null, {}]), ["a", "b"])
        compare(FileNotes.removedIds(null), [])
    }

    QtObject {
        id: fakeDatabase
        property var asked: null
        function todayNoteCount(start, end) { asked = [start, end]; return 4 }
        function getDueFilesCount(start, end) { return 0 }
    }

    QtObject {
        id: fakeSockets
        property var handlers: ({})
        function on(name, f) { handlers[name] = f }
        function off(name) { delete handlers[name] }
        function send(name, content) {}
    }

    // The menu bar counts today's notes over the same whole-minute window as the drawer.
    function test_menu_bar_counts_the_same_window() {
        var c = Qt.createComponent("qrc:/com/UMenuFix.qml")
        compare(c.status, Component.Ready, c.errorString())
        var menu = c.createObject(host, {"database": fakeDatabase, "sockets": fakeSockets})
        fakeSockets.handlers["count_result"]({"content": {"count": {"task": 2}}})
        var b = Notes.todayBounds()
        compare(fakeDatabase.asked, [b.start, b.end])
        compare(menu.note, 4)
        compare(menu.task, 2)
        menu.destroy()
    }

    function test_screens_load() {
        var paths = ["note/Note.qml", "contact/Contact.qml", "setting/District.qml", "setting/Hashtag.qml",
                     "files/FileNotes.qml"]
        for (var i = 0; i < paths.length; ++i) {
            var c = Qt.createComponent("qrc:/templates/" + paths[i])
            compare(c.status, Component.Ready, paths[i] + " " + c.errorString())
            var o = c.createObject(host, {"width": 400, "height": 500})
            verify(o !== null, paths[i])
            o.destroy()
        }
    }
}
