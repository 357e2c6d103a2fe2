import QtQuick 2.15
import QtQml.Models 2.15
import QtQuick.Controls 2.15
import com 1.0
import "settings.js" as Logic

// My agency: the agents as the server lists them, with what a manager can do to each.
Page {
    id: store

    property var account: Account
    property var sockets: Sockets
    property var database: Database
    property var templates: Templates

    property bool loading: false
    property string message: ""
    // The rows, replaced whole on every change so the list redraws.
    property var agents: []

    function send(name, content, handler) {
        return sockets.request(name, content, handler, function () { loading = false })
    }

    function messageOf(reply) {
        return sockets.messageText(reply)
    }

    function load() {
        loading = send("account_agent_list", {"user_id": account.userId()}, function (reply) {
            loading = false
            var content = reply.content
            var list = content && content.list ? content.list : []
            agents = list.map(function (record) { return Logic.agentRow(record, account.parentServerId()) })
            message = list.length === 0 ? messageOf(reply) : ""
        })
    }

    function indexOf(agentId) {
        for (var i = 0; i < agents.length; ++i)
            if (agents[i]._id === agentId)
                return i
        return -1
    }

    function toggleStatus(row) {
        send("account_agent_status", {"user_id": account.userId(), "agent_id": row._id,
                                      "status": Logic.nextStatus(row.status)}, function (reply) {
            var content = reply.content
            var result = content ? content.result : null
            if (!result || !result.status) {
                Toast.show(messageOf(reply))
                return
            }
            var i = indexOf(row._id)
            if (i === -1)
                return
            var rows = agents.slice()
            rows[i] = Logic.copy(rows[i])
            rows[i].status = Number(result.status.type) === 1
            agents = rows
        })
    }

    function confirmRemove(row) {
        templates.confirm({"title": "آیا مطمئنید؟",
                           "text": "پس از حذف کاربر فایلهای این کاربر به مدیر اختصاص پیدا میکند."},
                          function () { remove(row) })
    }

    function remove(row) {
        send("account_agent_remove", {"user_id": account.userId(), "agent_id": row._id}, function (reply) {
            var content = reply.content
            var removed = content ? content.remove : null
            if (!removed) {
                Toast.show(messageOf(reply))
                return
            }
            database.deleteAgent(removed.user_ref, removed.agent_ref, reply.timestamp)
            load()
        })
    }

    function replaceNumber(row) {
        send("account_agent_replace", {"user_id": account.userId(), "agent_id": row._id}, function (reply) {
            var content = reply.content
            if (!content || !content.append || !content.remove) {
                Toast.show(messageOf(reply))
                return
            }
            var user = Logic.agentAccount(content.append, account.userId())
            database.saveUser(user)
            database.editAgentNumber(content.remove.user_ref, content.remove.agent_ref, content.append.agent_ref._id,
                                     reply.timestamp)
            load()
        })
    }

    function push(path, options) {
        return templates.open(store, path, options)
    }

    function openEditor(row) {
        var editor = push("setting/EditAgent.qml", {"edit": !!row, "agent": row || null})
        if (editor && editor.saved)
            editor.saved.connect(function () {
                Stacks.leave(editor)
                load()
            })
    }

    function openAccess(path, row) {
        var dialog = templates.dialog(path, {"agent": row})
        if (dialog && dialog.open)
            dialog.open()
    }

    function act(key, row) {
        try {
            switch (key) {
            case "edit": openEditor(row); break
            case "status": toggleStatus(row); break
            case "report": push("setting/Report.qml", {"agent": row}); break
            case "files":
                templates.container("fileList", {"mode": "tab", "title": row.name_family || row.mobile,
                                                 "filters": [Logic.item("agent_ref", row._id)]})
                break
            case "boards": openAccess("setting/dialogs/AgentTavorlinAccess.qml", row); break
            case "shelves": openAccess("setting/dialogs/AgentShelvesAccess.qml", row); break
            case "devices": push("setting/applicationSettings/UserDevices.qml", {"agent": row}); break
            case "replace": replaceNumber(row); break
            case "remove": confirmRemove(row); break
            }
        } catch (e) {
            Toast.error(e, "act")
        }
    }

    readonly property var actions: [
        {"key": "edit", "title": "ویرایش"},
        {"key": "status", "title": "فعال / غیرفعال"},
        {"key": "report", "title": "گزارش کار"},
        {"key": "files", "title": "فایلهای کاربر"},
        {"key": "boards", "title": "دسترسی تابلوها"},
        {"key": "shelves", "title": "دسترسی قفسه ها"},
        {"key": "devices", "title": "دستگاه ها"},
        {"key": "replace", "title": "تغییر شماره"},
        {"key": "remove", "title": "حذف"}
    ]

    UMenu {
        id: rowMenu
        objectName: "agentMenu"
        property var row: null
        Instantiator {
            model: store.actions
            delegate: MenuItem {
                objectName: "rowMenuItem_" + modelData.key
                text: modelData.title
                onTriggered: store.act(modelData.key, rowMenu.row)
            }
            onObjectAdded: rowMenu.insertItem(index, object)
            onObjectRemoved: rowMenu.removeItem(object)
        }
    }

    ListView {
        id: list
        objectName: "agentList"
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        anchors.horizontalCenter: parent.horizontalCenter
        // No wider than the body of a detail on a large window, in the middle.
        width: Math.min(parent.width, Consts.body_max_width)
        anchors.bottomMargin: 64
        clip: true
        model: store.agents

        delegate: ItemDelegate {
            id: rowItem
            objectName: "agentRow"
            width: list.width
            height: 64
            onClicked: {
                rowMenu.row = modelData
                rowMenu.openBeside(rowItem)
            }

            contentItem: Row {
                spacing: 12
                Rectangle {
                    width: 10
                    height: 10
                    radius: 5
                    anchors.verticalCenter: parent.verticalCenter
                    color: modelData.status ? "#43a047" : "#bdbdbd"
                }
                // The rest of the row; under the window's mirror the left alignment reads from the right.
                Column {
                    width: parent.width - 22
                    anchors.verticalCenter: parent.verticalCenter
                    Text {
                        objectName: "agentName"
                        width: parent.width
                        text: modelData.name_family || ""
                        textFormat: Text.PlainText
                        font.pointSize: 12
                        horizontalAlignment: Text.AlignLeft
                        elide: Text.ElideRight
                    }
                    Text {
                        width: parent.width
                        text: (modelData.mobile || "") + "   " + Logic.roles[Math.max(0, Math.min(2, modelData.type))].title
                        textFormat: Text.PlainText
                        font.pointSize: 10
                        color: "#757575"
                        horizontalAlignment: Text.AlignLeft
                    }
                }
            }
        }
    }

    Text {
        anchors.centerIn: list
        visible: !store.loading && store.agents.length === 0 && store.message !== ""
        text: store.message
        textFormat: Text.PlainText
        color: "#757575"
        font.pointSize: 12
    }

    BusyIndicator {
        anchors.centerIn: list
        running: store.loading
        visible: running
    }

    Button {
        objectName: "addAgent"
        anchors.bottom: parent.bottom
        anchors.left: list.left
        anchors.margins: 12
        text: "افزودن مشاور"
        onClicked: store.openEditor(null)
    }

    Component.onCompleted: load()
}
