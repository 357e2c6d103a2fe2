import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "hashtags.js" as Tags

// A file's hashtags: every hashtag with the file's own ticked. Select-only (inside the file form)
// it hands the choice back; otherwise it sends "property_hashtag" and stores the reply.
Popup {
    id: dialog

    property var file: null
    property bool selectOnly: false
    property var all: []
    property var before: []
    property var ticked: []
    property bool sending: false

    // Full hashtag objects, newly ticked and newly unticked.
    signal chosen(var added, var removed)

    objectName: "fileHashtags"
    modal: true
    anchors.centerIn: Overlay.overlay
    width: 420
    height: 520

    function initial(options) {
        try {
            file = options.file || null
            selectOnly = options.selectOnly === true
            if (selectOnly)
                before = (options.selected || []).slice()
            else if (file)
                before = (Database.getHashtagFileList(file._id) || []).map(function (h) { return {"_id": h.hashtag_id} })
            ticked = before.map(Tags.key)
            Database.hashTagListReady.connect(listed)
            Database.getHashTags()
            open()
        } catch (e) {
            Toast.error(e, "initial")
        }
    }

    function listed(list) {
        Database.hashTagListReady.disconnect(listed)
        var merged = (list || []).slice()
        var known = merged.map(Tags.key)
        // The file's own tags take their stored titles; tags chosen in the form but not stored yet
        // stay on the list.
        before = before.map(function (t) {
            var at = known.indexOf(Tags.key(t))
            return at === -1 ? t : merged[at]
        })
        before.forEach(function (t) {
            if (known.indexOf(Tags.key(t)) === -1 && t.title !== undefined)
                merged.push(t)
        })
        all = merged
    }

    function tick(tag, on) {
        var k = Tags.key(tag)
        var next = ticked.filter(function (t) { return t !== k })
        if (on)
            next.push(k)
        ticked = next
    }

    // The new tag, or the one of that title already listed, is ticked and brought into view.
    function addNew(title) {
        var r = Tags.addTitle(all, title)
        all = r.list
        if (!r.tag)
            return
        tick(r.tag, true)
        list.forceLayout()
        list.positionViewAtIndex(all.indexOf(r.tag), ListView.Contain)
    }

    function confirm() {
        try {
            var after = all.filter(function (t) { return ticked.indexOf(Tags.key(t)) !== -1 })
            var result = Tags.changes(before, after)
            if (selectOnly) {
                chosen(result.added, result.removed)
                close()
                return
            }
            if (!Sockets.connected) {
                Toast.showDisconnectMessage()
                return
            }
            sending = true
            Sockets.on("property_hashtag_result", function (reply) {
                Sockets.off("property_hashtag_result")
                Sockets.off("property_hashtag_result_error")
                sending = false
                if (!reply.content) {
                    Toast.show(reply.message && reply.message.msg ? reply.message.msg : "خطایی در ثبت برچسب رخ داده است.")
                    return
                }
                Database.saveFileHashTags(reply.content, Number(reply.timestamp) || -1)
                chosen(result.added, result.removed)
                close()
            })
            Sockets.on("property_hashtag_result_error", function () {
                Sockets.off("property_hashtag_result")
                Sockets.off("property_hashtag_result_error")
                sending = false
            })
            Sockets.send("property_hashtag", Tags.requestContent(Account.userId(), Account.agentId(), file, result))
        } catch (e) {
            sending = false
            Toast.error(e, "confirm")
        }
    }

    // A reply that comes after the dialog has gone finds no handler of it.
    Component.onDestruction: {
        if (sending) {
            Sockets.off("property_hashtag_result")
            Sockets.off("property_hashtag_result_error")
        }
    }

    Column {
        anchors.fill: parent
        spacing: 8
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        UTitle {
            title: "برچسب ها"
        }

        Row {
            width: parent.width
            visible: dialog.selectOnly
            spacing: 6
            TextField {
                id: newTag
                objectName: "newHashtag"
                width: 260
                placeholderText: "برچسب جدید"
            }
            Button {
                text: "افزودن"
                onClicked: {
                    dialog.addNew(newTag.text)
                    newTag.text = ""
                }
            }
        }

        ListView {
            id: list
            width: parent.width
            height: parent.height - (dialog.selectOnly ? 150 : 100)
            clip: true
            model: dialog.all
            delegate: CheckBox {
                objectName: "hashtag_" + index
                width: list.width
                text: String(modelData.title || "")
                checked: dialog.ticked.indexOf(Tags.key(modelData)) !== -1
                onClicked: dialog.tick(modelData, checked)
                contentItem: Text {
                    text: parent.text
                    textFormat: Text.PlainText
                    verticalAlignment: Text.AlignVCenter
                    rightPadding: parent.indicator.width + parent.spacing
                }
            }
        }

        UButtons {
            Button {
                objectName: "hashtagsConfirm"
                text: "تایید"
                enabled: !dialog.sending
                onClicked: dialog.confirm()
            }
            Button {
                text: "انصراف"
                onClicked: dialog.close()
            }
        }
    }
}
