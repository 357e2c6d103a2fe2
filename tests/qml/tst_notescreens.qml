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
