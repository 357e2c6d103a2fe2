import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import com.chat 1.0
import "chat.js" as ChatJs

// One conversation: its messages, newest first, marked seen once they arrived.
Item {
    id: screen

    property var conversation: ({})
    property bool loading: false

    objectName: "chatChannel"

    function load() {
        try {
            loading = Sockets.request("conversation_message_list_2",
                                      ChatJs.messagesContent(conversation, Account.userId(), Account.agentId()),
                                      function (reply) {
                screen.loading = false
                var list = reply.content ? reply.content.list : null
                if (!Array.isArray(list)) {
                    Toast.show(Sockets.messageText(reply, "دریافت پیام ها انجام نشد"))
                    return
                }
                var seen = ChatJs.seenContent(screen.conversation, Account.userId(), Account.agentId(), list)
                if (seen !== null)
                    Sockets.send("conversation_message_seen_2", seen)
                view.setMessages(list)
            }, function () { screen.loading = false })
        } catch (e) {
            loading = false
            Toast.error(e, "load")
        }
    }

    Component.onCompleted: load()

    Rectangle {
        id: top
        anchors.left: parent.left
        anchors.right: parent.right
        height: 44
        color: "#eceff1"
        Text {
            anchors.centerIn: parent
            text: screen.conversation.title || ""
            textFormat: Text.PlainText
            font.pointSize: 12
            font.bold: true
        }
        ToolButton {
            anchors.left: parent.left
            anchors.verticalCenter: parent.verticalCenter
            text: "بازگشت"
            visible: screen.StackView.view !== null && screen.StackView.view.depth > 1
            onClicked: screen.StackView.view.pop()
        }
    }

    // The server takes no messages into a channel: it is read here, not written.
    UChatView {
        id: view
        objectName: "channel_view"
        anchors.top: top.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        channel: true
        writable: false
    }

    BusyIndicator {
        anchors.centerIn: parent
        running: screen.loading
        visible: running
    }
}
