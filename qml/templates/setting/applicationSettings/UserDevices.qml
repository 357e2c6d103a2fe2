import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// The devices an account is logged in on, the current account's or a chosen agent's.
Page {
    id: devices

    property var account: Account
    property var sockets: Sockets
    property var templates: Templates

    // The agent row whose devices are shown; null for the current account.
    property var agent: null
    property var list: []
    property bool loading: false
    property string message: ""

    function agentId() {
        return agent ? agent._id : account.agentId()
    }

    function request(name, content, handler) {
        return sockets.request(name, content, handler, function () { loading = false })
    }

    function load() {
        loading = request("account_device", {"user_id": account.userId(), "agent_id": agentId()}, function (reply) {
            loading = false
            if (!reply.content) {
                message = sockets.messageText(reply)
                Toast.show(message)
                return
            }
            list = reply.content.list || []
            message = list.length === 0 ? "دستگاهی یافت نشد" : ""
        })
    }

    function confirmRemove(device) {
        templates.confirm({"title": "آیا مطمئن هستید ؟"}, function () { remove(device) })
    }

    function remove(device) {
        request("account_device_remove", {"user_id": account.userId(), "agent_id": agentId(),
                                          "device_id": device._id, "platform": device.platform}, function (reply) {
            if (!reply.content) {
                Toast.show(sockets.messageText(reply))
                return
            }
            list = list.filter(function (d) { return d._id !== device._id })
        })
    }

    function platformName(code) {
        switch (Number(code)) {
        case 64: return "Windows"
        case 128: return "Android"
        case 256: return "iOS"
        case 512: return "Web"
        }
        return String(code)
    }

    ListView {
        id: view
        objectName: "deviceList"
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        anchors.horizontalCenter: parent.horizontalCenter
        // No wider than the body of a detail on a large window, in the middle.
        width: Math.min(parent.width, Consts.body_max_width)
        clip: true
        model: devices.list

        delegate: ItemDelegate {
            objectName: "deviceRow"
            width: view.width
            height: 60
            // Under the window's mirror: the texts from the right edge, "حذف" at the left.
            contentItem: Item {
                Column {
                    anchors.left: parent.left
                    anchors.right: removeButton.left
                    anchors.rightMargin: 12
                    anchors.verticalCenter: parent.verticalCenter
                    Text {
                        objectName: "deviceName"
                        width: parent.width
                        // No trailing blanks when the model is missing: the name ends at the edge.
                        text: [devices.platformName(modelData.platform), modelData.model || ""].join("  ").trim()
                        textFormat: Text.PlainText
                        font.pointSize: 12
                        horizontalAlignment: Text.AlignLeft
                    }
                    Text {
                        text: [modelData.os || "", modelData.app || "", modelData.ip || ""].join("   ")
                        textFormat: Text.PlainText
                        color: "#757575"
                        font.pointSize: 10
                        elide: Text.ElideRight
                        width: parent.width
                        horizontalAlignment: Text.AlignLeft
                    }
                }
                Button {
                    id: removeButton
                    objectName: "deviceRemove"
                    anchors.right: parent.right
                    anchors.verticalCenter: parent.verticalCenter
                    text: "حذف"
                    onClicked: devices.confirmRemove(modelData)
                }
            }
        }
    }

    Text {
        anchors.centerIn: parent
        visible: !devices.loading && devices.list.length === 0
        text: devices.message
        textFormat: Text.PlainText
        color: "#757575"
    }

    BusyIndicator {
        anchors.centerIn: parent
        running: devices.loading
        visible: running
    }

    Component.onCompleted: load()
}
