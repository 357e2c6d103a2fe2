import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import com.chat 1.0
import "filenotes.js" as FileNotesJs
import "../note/reply.js" as Reply

// A file's notes: the conversation its agency keeps about it, read from and written through the
// server; the store takes each change from the server's reply.
Page {
    id: screen
    objectName: "file_notes"
    readonly property bool ownTitleBar: true
    // Drawers and dialogs sit outside the window's mirrored content.
    LayoutMirroring.enabled: true
    LayoutMirroring.childrenInherit: true

    property var file: null
    property bool loading: false

    title: "یادداشت های فایل"

    function load() {
        try {
            if (!file)
                return
            // Offline nothing is sent and nothing answers: no spinner waits for it.
            if (!Sockets.connected) {
                Toast.show(Sockets.offlineMessage)
                return
            }
            loading = true
            Sockets.on("file_note_list_result", function (reply) {
                Sockets.off("file_note_list_result")
                Sockets.off("file_note_list_result_error")
                screen.loading = false
                var list = reply && reply.content && reply.content.list ? reply.content.list : null
                if (list === null) {
                    Toast.show(Reply.messageOf(reply))
                    return
                }
                chat.setMessages(list)
            })
            // A refused list has had its message shown; the spinner stops.
            Sockets.on("file_note_list_result_error", function () {
                Sockets.off("file_note_list_result_error")
                screen.loading = false
            })
            Sockets.send("file_note_list", FileNotesJs.listContent(file, Account.userId(), Account.agentId()))
        } catch (e) {
            Toast.error(e, "load")
        }
    }

    function create(message) {
        try {
            Sockets.on("file_note_create_result", function (reply) {
                Sockets.off("file_note_create_result")
                var result = Reply.resultOf(reply)
                if (!result) {
                    Toast.show(Reply.messageOf(reply))
                    return
                }
                Database.saveActivity(result, false, Reply.stampOf(reply))
                chat.clearInput()
                chat.addMessage(result)
            })
            Sockets.send("file_note_create", FileNotesJs.messageContent(message, file))
        } catch (e) {
            Toast.error(e, "create")
        }
    }

    function edit(message) {
        try {
            Sockets.on("file_note_edit_result", function (reply) {
                Sockets.off("file_note_edit_result")
                var result = Reply.resultOf(reply)
                if (!result) {
                    Toast.show(Reply.messageOf(reply))
                    return
                }
                Database.saveActivity(result, true, Reply.stampOf(reply))
                chat.clearInput()
                chat.replaceMessage(result)
            })
            Sockets.send("file_note_edit", FileNotesJs.messageContent(message, file))
        } catch (e) {
            Toast.error(e, "edit")
        }
    }

    function remove(message) {
        try {
            Sockets.on("file_note_remove_result", function (reply) {
                Sockets.off("file_note_remove_result")
                var result = Reply.resultOf(reply)
                if (!result) {
                    Toast.show(Reply.messageOf(reply))
                    return
                }
                var ids = FileNotesJs.removedIds(result)
                for (var i = 0; i < ids.length; ++i) {
                    Database.deleteActivity(ids[i], Reply.stampOf(reply))
                    chat.removeMessage(ids[i])
                }
            })
            Sockets.send("file_note_remove", FileNotesJs.messageContent(message, file))
        } catch (e) {
            Toast.error(e, "remove")
        }
    }

    header: ToolBar {
        Row {
            anchors.fill: parent
            spacing: 8
            ToolButton {
                objectName: "file_notes_back"
                font.family: Fonts.icon
                font.pointSize: 16
                text: String.fromCodePoint(parseInt(Icons.arrowRight, 16))
                onClicked: Stacks.leave(screen)
            }
            Label {
                anchors.verticalCenter: parent.verticalCenter
                text: screen.title
                font.pointSize: 13
            }
        }
    }

    UChatView {
        id: chat
        objectName: "file_notes_chat"
        anchors.fill: parent
        onSend: screen.create(message)
        onEdit: screen.edit(message)
        // A note goes only after the question.
        onRemove: Templates.confirm({"title": "آیا از حذف این یادداشت مطمئن هستید ؟"}, function () { screen.remove(message) })
    }

    BusyIndicator {
        anchors.centerIn: parent
        running: screen.loading
        visible: running
    }

    Component.onCompleted: load()
}
