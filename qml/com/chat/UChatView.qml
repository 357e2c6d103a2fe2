import QtQuick 2.15
import QtQuick.Controls 2.15
import Qt.labs.platform 1.1 as Platform
import com 1.0
import "chatview.js" as Chat

// A conversation: the messages, newest at the bottom, and the line to write one. It sends
// nothing itself: new, edited and removed messages go to the hosting screen by its signals.
Item {
    id: view

    // In a channel every message is the account's own.
    property bool channel: false
    // The raw messages as the host gave them.
    property var raw: []
    // The same for display (newest first, with authors and flags).
    property var messages: []
    // The message being edited, or null while writing a new one.
    property var editing: null
    // Room beside the send button for an attachment button.
    property alias tools: toolRow
    // False where nothing can be written (the line to write is hidden).
    property bool writable: true
    // Whether a picture or a video can be sent.
    property bool attachments: true

    signal send(var message)
    signal edit(var message)
    signal remove(var message)

    function me() {
        var acc = Account.get() || {}
        return {"_id": Account.isManager() ? Account.userId() : Account.agentId(),
                "name_family": acc.name_family || "", "image": acc.image || ""}
    }

    function refresh() {
        messages = Chat.decorate(raw, me(), function (id) {
            var u = Database.getUserById(String(id))
            return u && u.error === undefined ? u : {}
        }, function (ms) { return Dates.timestamp_to_jdate(ms) }, channel)
    }

    function setMessages(list) {
        raw = (list || []).slice()
        refresh()
    }

    function indexOfId(id) {
        for (var i = 0; i < raw.length; ++i)
            if (raw[i]._id === id)
                return i
        return -1
    }

    function addMessage(m) {
        var list = raw.slice()
        var i = indexOfId(m._id)
        if (i === -1)
            list.push(m)
        else
            list[i] = m
        raw = list
        refresh()
    }

    function replaceMessage(m) {
        addMessage(m)
    }

    function removeMessage(id) {
        var list = raw.slice()
        var i = indexOfId(id)
        if (i !== -1)
            list.splice(i, 1)
        raw = list
        refresh()
    }

    function startEdit(m) {
        editing = m
        input.text = m._text
        input.forceActiveFocus()
    }

    function cancelEdit() {
        editing = null
        input.text = ""
    }

    function submit() {
        try {
            var m = Chat.newMessage(input.text, Chat.TEXT, Account.userId(), Account.agentId())
            if (m.error) {
                Toast.show(m.error)
                return
            }
            if (editing) {
                var changed = Chat.plain(editing)
                changed.message = m.message
                changed.user_id = m.user_id
                changed.agent_id = m.agent_id
                edit(changed)
            } else {
                send(m)
            }
        } catch (e) {
            Toast.error(e, "submit")
        }
    }

    // Opens the attachment dialog for one picked file; the file dialog and the tests call it.
    function attach(path) {
        try {
            var p = String(path || "")
            if (p === "")
                return null
            var d = Templates.dialog("chat/AttachmentDialog.qml", {"path": p, "isVideo": /mp4$/.test(p)}, "com")
            if (!d)
                return null
            d.sent.connect(function (m) { view.send(m) })
            d.open()
            return d
        } catch (e) {
            Toast.error(e, "attach")
            return null
        }
    }

    function pickAttachment() {
        var d = attachmentPicker.createObject(view)
        d.open()
    }

    Component {
        id: attachmentPicker
        Platform.FileDialog {
            fileMode: Platform.FileDialog.OpenFile
            nameFilters: ["تصویر یا ویدیو (*.jpg *.png *.bmp *.jpeg *.mp4)"]
            folder: Utilities.picker_folder("")
            onAccepted: {
                view.attach(String(file))
                destroy()
            }
            onRejected: destroy()
        }
    }

    // The host calls this once its request went well.
    function clearInput() {
        editing = null
        input.text = ""
    }

    ListView {
        id: list
        objectName: "chat_list"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: bar.top
        anchors.margins: 6
        clip: true
        spacing: 4
        verticalLayoutDirection: ListView.BottomToTop
        model: view.messages

        delegate: Column {
            width: ListView.view.width
            spacing: 4

            // The date line of a day sits above its oldest message.
            Rectangle {
                visible: modelData.showDate
                anchors.horizontalCenter: parent.horizontalCenter
                width: dateText.implicitWidth + 20
                height: visible ? 22 : 0
                radius: 11
                color: "#cfd8dc"
                Text {
                    id: dateText
                    anchors.centerIn: parent
                    text: modelData.jdate
                    font.pointSize: 9
                }
            }
            UMessageView {
                objectName: "chat_message_" + modelData._id
                width: parent.width
                message: modelData
                onMenuRequested: {
                    if (!modelData.mine)
                        return
                    messageMenu.message = modelData
                    messageMenu.openAt(source, x, y)
                }
            }

        }
    }

    Rectangle {
        id: bar
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        visible: view.writable
        height: visible ? Math.max(52, input.implicitHeight + 16) : 0
        color: "#eceff1"

        Row {
            id: toolRow
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            anchors.rightMargin: 6
            spacing: 4

            ToolButton {
                objectName: "chat_send"
                font.family: Fonts.icon
                font.pointSize: 16
                text: String.fromCodePoint(parseInt(Icons.send, 16))
                onClicked: view.submit()
            }

            ToolButton {
                objectName: "chat_attach"
                visible: view.attachments && view.editing === null
                font.family: Fonts.icon
                font.pointSize: 16
                text: String.fromCodePoint(parseInt(Icons.paperclip, 16))
                onClicked: view.pickAttachment()
            }

            ToolButton {
                visible: view.editing !== null
                objectName: "chat_cancel_edit"
                font.family: Fonts.icon
                font.pointSize: 14
                text: String.fromCodePoint(parseInt(Icons.close, 16))
                onClicked: view.cancelEdit()
            }
        }

        TextArea {
            id: input
            objectName: "chat_input"
            anchors.left: parent.left
            anchors.right: toolRow.left
            anchors.verticalCenter: parent.verticalCenter
            anchors.margins: 6
            placeholderText: view.editing ? "ویرایش پیام" : "پیام خود را بنویسید"
            wrapMode: TextEdit.Wrap
            textFormat: TextEdit.PlainText
            selectByMouse: true
        }
    }

    UMenu {
        id: messageMenu
        objectName: "chatMessageMenu"
        property var message: null
        MenuItem {
            objectName: "chat_menu_edit"
            text: "ویرایش"
            onTriggered: view.startEdit(messageMenu.message)
        }
        MenuItem {
            objectName: "chat_menu_remove"
            text: "حذف"
            onTriggered: view.remove(Chat.plain(messageMenu.message))
        }
    }
}
