import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "settings.js" as Logic

// The agent editor: the mobile number of a new agent, the role, and the access switches.
Page {
    id: editor

    property var account: Account
    property var sockets: Sockets
    property var database: Database

    property bool edit: false
    property var agent: null
    property int role: edit && agent ? Number(agent.type) || 0 : 0
    property int access: Logic.startAccess(edit, agent)
    property bool busy: false

    signal saved()

    function chooseRole(value) {
        role = value
        access = Logic.presetAccess(value, access)
    }

    function setSwitch(bit, on) {
        access = Logic.withBit(access, bit, on)
    }

    function submit() {
        try {
            if (busy)
                return
            var agentId = edit ? agent._id : ""
            if (!edit) {
                var number = Logic.agentNumber(mobile.text)
                if (number.error) {
                    Toast.show(number.error)
                    return
                }
                agentId = number.number
            }
            var name = edit ? "account_agent_edit" : "account_agent_create"
            busy = sockets.request(name, Logic.agentRequest(account.userId(), agentId, access, role), function (reply) {
                busy = false
                var result = reply.content ? reply.content.result : null
                if (!result) {
                    Toast.show(sockets.messageText(reply))
                    return
                }
                if (edit)
                    database.updateAgent(Logic.idOf(result.agent_ref), Number(result.access), Number(result.type), reply.timestamp)
                else
                    database.saveUsers([Logic.agentAccount(result, account.parentServerId())], reply.timestamp)
                editor.saved()
            }, function () { busy = false })
        } catch (e) {
            busy = false
            Toast.error(e, "submit")
        }
    }

    footer: ToolBar {
        Button {
            objectName: "agentSubmit"
            anchors.verticalCenter: parent.verticalCenter
            anchors.left: parent.left
            anchors.leftMargin: 16
            text: "ثبت"
            enabled: !editor.busy
            onClicked: editor.submit()
        }
    }

    Flickable {
        anchors.fill: parent
        contentHeight: body.height + 32
        clip: true

        Column {
            id: body
            x: 16
            y: 16
            width: parent.width - 32
            spacing: 10

            Text {
                width: parent.width
                text: editor.edit ? "ویرایش مشاور" : "مشاور جدید"
                font.pointSize: 14
                font.bold: true
                color: "#0d47a1"
            }

            TextField {
                id: mobile
                objectName: "agentMobile"
                width: parent.width
                visible: !editor.edit
                placeholderText: "شماره همراه"
                inputMethodHints: Qt.ImhDialableCharactersOnly
            }

            Text {
                width: parent.width
                visible: editor.edit
                text: editor.agent ? (editor.agent.name_family || "") + "  " + (editor.agent.mobile || "") : ""
                textFormat: Text.PlainText
                font.pointSize: 12
            }

            Row {
                width: parent.width
                spacing: 12
                Repeater {
                    model: Logic.roles
                    RadioButton {
                        objectName: "role" + modelData.type
                        text: modelData.title
                        checked: editor.role === modelData.type
                        onClicked: editor.chooseRole(modelData.type)
                    }
                }
            }

            Repeater {
                model: Logic.switches
                Switch {
                    objectName: "switch_" + modelData.key
                    width: body.width
                    text: modelData.title
                    checked: Logic.hasBit(editor.access, modelData.bit)
                    enabled: Logic.switchEnabled(editor.role, modelData.key)
                    onToggled: editor.setSwitch(modelData.bit, checked)
                }
            }
        }
    }
}
