import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "chat.js" as ChatJs

// The account's conversations; a row opens the conversation.
Item {
    id: screen

    property var conversations: []
    property bool loading: false

    objectName: "chatList"

    function load() {
        try {
            loading = Sockets.request("conversation_list", ChatJs.listContent(Account.userId()), function (reply) {
                screen.loading = false
                var list = ChatJs.rows(reply.content ? reply.content.list : null)
                if (list === null) {
                    Toast.show(Sockets.messageText(reply, "دریافت گفتگو ها انجام نشد"))
                    return
                }
                screen.conversations = list
            }, function () { screen.loading = false })
        } catch (e) {
            loading = false
            Toast.error(e, "load")
        }
    }

    function openConversation(c) {
        // Opening reads it, so its row's unread count goes; the conversation itself still asks with
        // the count it had, which tells the server to mark it seen.
        screen.conversations = ChatJs.read(screen.conversations, c._id)
        Templates.open(screen, "chat/Channel.qml", {"conversation": c})
    }

    Component.onCompleted: load()

    BusyIndicator {
        anchors.centerIn: parent
        running: screen.loading
        visible: running
    }

    Label {
        anchors.centerIn: parent
        visible: !screen.loading && screen.conversations.length === 0
        text: "گفتگویی وجود ندارد"
    }

    ListView {
        id: list
        objectName: "chat_conversations"
        anchors.fill: parent
        clip: true
        model: screen.conversations
        delegate: ItemDelegate {
            objectName: "conversation_" + modelData._id
            width: ListView.view.width
            height: 68
            onClicked: screen.openConversation(modelData)

            // Under the window's mirror: left and right below stand for the right and the left.
            contentItem: Item {
                UImage2 {
                    id: avatar
                    objectName: "conversationImage"
                    anchors.left: parent.left
                    anchors.verticalCenter: parent.verticalCenter
                    width: 48
                    height: 48
                    source: modelData.image
                }
                Column {
                    anchors.left: avatar.right
                    anchors.leftMargin: 10
                    anchors.right: badge.left
                    anchors.rightMargin: 6
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 2
                    Text {
                        objectName: "conversationTitle"
                        width: parent.width
                        text: modelData.title
                        textFormat: Text.PlainText
                        font.pointSize: 11
                        font.bold: true
                        elide: Text.ElideLeft
                        horizontalAlignment: Text.AlignLeft
                    }
                    Text {
                        width: parent.width
                        text: modelData.lastMessage !== "" ? modelData.lastMessage : modelData.desc
                        textFormat: Text.PlainText
                        color: "#616161"
                        font.pointSize: 9
                        elide: Text.ElideLeft
                        horizontalAlignment: Text.AlignLeft
                    }
                }
                Rectangle {
                    id: badge
                    objectName: "conversationCount"
                    anchors.right: parent.right
                    anchors.verticalCenter: parent.verticalCenter
                    visible: modelData.count > 0
                    width: Math.max(22, countText.implicitWidth + 10)
                    height: 22
                    radius: 11
                    color: "#1e88e5"
                    Text {
                        id: countText
                        anchors.centerIn: parent
                        color: "white"
                        text: modelData.count
                        font.pointSize: 8
                    }
                }
            }
        }
    }
}
