import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "tagsettings.js" as Tags
import "../note/reply.js" as Reply
import "qrc:/com/rowsync.js" as RowSync

// The list of the agency's districts or hashtags, with create, rename and removal through the
// server.
Page {
    id: screen
    objectName: kind + "_settings"
    // Drawers and dialogs sit outside the window's mirrored content.
    LayoutMirroring.enabled: true
    LayoutMirroring.childrenInherit: true

    // "district" or "hashtag".
    property string kind: "district"
    readonly property var texts: Tags.kinds[kind]
    property var rows: []
    property bool loading: false

    // Renames and removals change the shown rows in place, so the list stays where it was.
    onRowsChanged: RowSync.assign(rowModel, rows)

    ListModel {
        id: rowModel
    }

    property var requester: new Reply.Requester(function () {
        screen.loading = true
        if (screen.kind === "district")
            Database.getDistricts()
        else
            Database.getHashTags()
    })

    function load() {
        watch.taken()
        requester.request({})
    }

    function listReady(list) {
        if (!requester.inFlight)
            return
        if (requester.answer() === null)
            return
        loading = false
        rows = list
    }

    function stored(id) {
        var row = kind === "district" ? Database.getSingleDistrict(id) : Database.getSingleHashTag(id)
        return row && row.error === undefined ? row : null
    }

    function saveRows(list, stamp) {
        if (kind === "district")
            Database.saveDistricts(list, stamp)
        else
            Database.saveHashtags(list, stamp)
    }

    function openFiles(row) {
        var options = {"mode": "tab", "title": row.title, "filters": [Tags.fileFilter(kind, row._id)]}
        Templates.open(screen, "files/list/List.qml", options)
    }

    // The title dialog is opened for a new row (null) or to rename one.
    function ask(row) {
        if (!Sockets.connected) {
            Toast.showDisconnectMessage()
            return
        }
        titleDialog.row = row
        titleField.text = row ? row.title : ""
        titleDialog.open()
    }

    function submit(row, text) {
        try {
            if (!Sockets.connected) {
                Toast.showDisconnectMessage()
                return
            }
            var title = Tags.trimmed(text)
            if (title === "") {
                Toast.show(Tags.emptyTitle)
                return
            }
            if (Tags.isDuplicate(rows, title, row ? row._id : undefined)) {
                Toast.show(texts.duplicate)
                return
            }
            if (row)
                rename(row, title)
            else
                create(title)
        } catch (e) {
            Toast.error(e, "submit")
        }
    }

    function create(title) {
        var name = texts.create
        Sockets.on(name + "_result", function (reply) {
            Sockets.off(name + "_result")
            var result = Reply.resultOf(reply)
            if (!result) {
                Toast.show(Reply.messageOf(reply))
                return
            }
            screen.saveRows([result], Reply.stampOf(reply))
            titleDialog.close()
            var row = screen.stored(result._id)
            if (row && Tags.indexOf(screen.rows, row._id) === -1) {
                screen.rows = screen.rows.concat([row])
                list.positionViewAtEnd()
            }
        })
        Sockets.send(name, Tags.createContent(kind, title, Account.userId(), Account.agentId()))
    }

    function rename(row, title) {
        var name = texts.edit
        Sockets.on(name + "_result", function (reply) {
            Sockets.off(name + "_result")
            var result = Reply.resultOf(reply)
            if (!result) {
                Toast.show(screen.texts.editFailed)
                return
            }
            screen.saveRows([result], Reply.stampOf(reply))
            titleDialog.close()
            var fresh = screen.stored(result._id)
            screen.rows = Tags.applyNotice(screen.rows, "edit",
                                           {"_id": result._id, "title": fresh ? fresh.title : result.title})
        })
        Sockets.send(name, Tags.editContent(kind, row, title, Account.userId(), Account.agentId()))
    }

    function askRemove(row) {
        try {
            var count = Database.getFilesCountWithDrafts(-1, -1, [Tags.fileFilter(kind, row._id)])
            if (count > 0) {
                Toast.show(texts.hasFiles)
                return
            }
            Templates.confirm({"title": "آیا مطمئن هستید ؟", "text": texts.confirm}, function () { screen.remove(row) })
        } catch (e) {
            Toast.error(e, "askRemove")
        }
    }

    function remove(row) {
        try {
            var name = texts.remove
            Sockets.on(name + "_result", function (reply) {
                Sockets.off(name + "_result")
                var content = reply ? reply.content : null
                var outcome = Tags.removalOutcome(screen.kind, content)
                if (outcome === "exist") {
                    Toast.show(screen.texts.exist)
                    return
                }
                if (outcome === "failed") {
                    Toast.show(screen.texts.removeFailed)
                    return
                }
                var id = content.result._id
                if (screen.kind === "district")
                    Database.deleteDistrict(id, Reply.stampOf(reply))
                else
                    Database.deleteHashtag(id, Reply.stampOf(reply))
                screen.rows = Tags.applyNotice(screen.rows, "remove", {"_id": id})
            })
            Sockets.send(name, Tags.removeContent(kind, row, Account.userId(), Account.agentId()))
        } catch (e) {
            Toast.error(e, "remove")
        }
    }

    function notice(json) {
        try {
            var c = json && json.content ? json.content : {}
            rows = Tags.applyNotice(rows, c.type, c.data)
        } catch (e) {
            Toast.error(e, "notice")
        }
    }

    Connections {
        target: Database
        function onDistrictListReady(list) { if (screen.kind === "district") screen.listReady(list) }
        function onHashTagListReady(list) { if (screen.kind === "hashtag") screen.listReady(list) }
    }

    // A file saved from the server brings the districts and hashtags it names: the rows are read
    // again, in place.
    UFilesWatch {
        id: watch
        seen: screen.visible
        onRefresh: screen.load()
    }

    Connections {
        target: Notification
        function onDistrictNotify(json) { if (screen.kind === "district") screen.notice(json) }
        function onHashtagNotify(json) { if (screen.kind === "hashtag") screen.notice(json) }
    }

    header: Row {
        padding: 6
        // The add button over the right edge of the rows.
        leftPadding: Math.max(6, (width - list.width) / 2 + 6)
        rightPadding: leftPadding
        spacing: 6
        Button {
            objectName: screen.kind + "_add"
            text: "+ افزودن"
            highlighted: true
            onClicked: screen.ask(null)
        }
    }

    ListView {
        id: list
        objectName: screen.kind + "_list"
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        anchors.horizontalCenter: parent.horizontalCenter
        // No wider than the body of a detail on a large window, in the middle.
        width: Math.min(parent.width, Consts.body_max_width)
        clip: true
        model: rowModel

        delegate: ItemDelegate {
            readonly property var modelData: JSON.parse(model.json)
            objectName: screen.kind + "_row_" + modelData._id
            width: ListView.view.width
            height: 48
            onClicked: screen.openFiles(modelData)

            contentItem: Item {
                Text {
                    anchors.left: parent.left
                    anchors.right: actions.left
                    anchors.verticalCenter: parent.verticalCenter
                    text: modelData.title
                    textFormat: Text.PlainText
                    elide: Text.ElideRight
                    font.pointSize: 11
                }
                Row {
                    id: actions
                    anchors.right: parent.right
                    anchors.verticalCenter: parent.verticalCenter
                    ToolButton {
                        objectName: screen.kind + "_edit_" + modelData._id
                        font.family: Fonts.icon
                        text: String.fromCodePoint(parseInt(Icons.pencilOutline, 16))
                        onClicked: screen.ask(modelData)
                    }
                    ToolButton {
                        objectName: screen.kind + "_remove_" + modelData._id
                        font.family: Fonts.icon
                        text: String.fromCodePoint(parseInt(Icons.deleteOutline, 16))
                        onClicked: screen.askRemove(modelData)
                    }
                }
            }
        }

        BusyIndicator {
            anchors.centerIn: parent
            running: screen.loading
            visible: running
        }
    }

    Popup {
        id: titleDialog
        property var row: null
        modal: true
        focus: true
        anchors.centerIn: Overlay.overlay
        width: 320
        padding: 16

        contentItem: Column {
            spacing: 10
            UTitle { title: titleDialog.row ? "ویرایش" : "افزودن" }
            TextField {
                id: titleField
                objectName: screen.kind + "_title"
                width: parent.width
                placeholderText: screen.texts.placeholder
                selectByMouse: true
                onAccepted: screen.submit(titleDialog.row, text)
            }
            UButtons {
                Button {
                    objectName: screen.kind + "_save"
                    text: "ثبت"
                    highlighted: true
                    onClicked: screen.submit(titleDialog.row, titleField.text)
                }
                Button {
                    text: "انصراف"
                    onClicked: titleDialog.close()
                }
            }
        }
    }

    Component.onCompleted: load()
}
