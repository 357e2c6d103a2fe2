import QtQuick 2.15
import QtQml.Models 2.15
import QtQuick.Controls 2.15
import com 1.0
import "colleague.js" as Logic

// Agencies around the owner's location, or around a point picked on the map: each can be called
// or opened as the list of its public listings.
Page {
    id: colleagues

    property var account: Account
    property var sockets: Sockets
    property var templates: Templates

    property var list: []
    property bool loading: false
    property string message: ""
    property var point: Logic.ownerPoint(account.get(), account.user())

    function load() {
        loading = sockets.request("colleague_list", Logic.request(account.userId(), account.agentId(), point), function (reply) {
            loading = false
            list = reply.content && reply.content.list ? reply.content.list : []
            message = list.length === 0 ? sockets.messageText(reply, "همکاری یافت نشد") : ""
        }, function (refusal) {
            loading = false
            message = refusal || ""
        })
    }

    function pickPoint() {
        templates.pickPoint(function (lat, lng) {
            point = {"lat": lat, "lng": lng}
            load()
        })
    }

    function openListings(colleague) {
        templates.container("fileList", {"mode": "colleague",
                                         "colleague": {"_id": colleague._id, "name": colleague.business_name || ""}})
    }

    function call(number) {
        Qt.openUrlExternally("tel:" + number)
    }

    UMenu {
        id: phones
        property var numbers: []
        Instantiator {
            model: phones.numbers
            delegate: MenuItem {
                text: modelData
                onTriggered: colleagues.call(modelData)
            }
            onObjectAdded: phones.insertItem(index, object)
            onObjectRemoved: phones.removeItem(object)
        }
    }

    header: ToolBar {
        // Mirrored: over the right edge of the rows.
        Row {
            anchors.verticalCenter: parent.verticalCenter
            anchors.left: parent.left
            anchors.leftMargin: (parent.width - view.width) / 2
            spacing: 8
            ToolButton {
                text: "انتخاب نقطه روی نقشه"
                onClicked: colleagues.pickPoint()
            }
        }
    }

    ListView {
        id: view
        objectName: "colleagueList"
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        anchors.horizontalCenter: parent.horizontalCenter
        // No wider than the body of a detail on a large window, in the middle.
        width: Math.min(parent.width, Consts.body_max_width)
        clip: true
        model: colleagues.list

        delegate: ItemDelegate {
            objectName: "colleagueRow"
            width: view.width
            height: 64
            onClicked: colleagues.openListings(modelData)

            contentItem: Row {
                spacing: 12
                Column {
                    width: view.width - 140
                    anchors.verticalCenter: parent.verticalCenter
                    Text {
                        text: modelData.business_name || modelData.name_family || ""
                        textFormat: Text.PlainText
                        font.pointSize: 12
                        elide: Text.ElideRight
                        width: parent.width
                        // Mirrored with the row: from its right edge, whatever the name starts with.
                        horizontalAlignment: Text.AlignLeft
                    }
                    Text {
                        text: modelData.name_family || ""
                        textFormat: Text.PlainText
                        font.pointSize: 10
                        color: "#757575"
                        elide: Text.ElideRight
                        width: parent.width
                        horizontalAlignment: Text.AlignLeft
                    }
                }
                Button {
                    id: callButton
                    anchors.verticalCenter: parent.verticalCenter
                    text: "تماس"
                    enabled: Logic.phoneNumbers(modelData).length > 0
                    onClicked: {
                        phones.numbers = Logic.phoneNumbers(modelData)
                        phones.openBeside(callButton)
                    }
                }
            }
        }
    }

    Text {
        objectName: "colleagueMessage"
        anchors.centerIn: parent
        visible: !colleagues.loading && colleagues.list.length === 0 && colleagues.message !== ""
        text: colleagues.message
        textFormat: Text.PlainText
        color: "#757575"
    }

    BusyIndicator {
        anchors.centerIn: parent
        running: colleagues.loading
        visible: running
    }

    Component.onCompleted: load()
}
