import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQml 2.15
import com 1.0
import "list"
import "list/list.js" as L
import "fileprint.js" as Print
import "qrc:/com/rowsync.js" as RowSync

// One file in full. Opening an unseen file tells the server, and the store marks it seen from
// the reply. Whatever writes the file afterwards, here or elsewhere, is read again once it is seen.
Page {
    id: detail

    property string fileId: ""
    property var summary: null
    property var file: null
    property string error: ""
    readonly property bool pinned: file !== null && file.status !== undefined && file.status !== null
                                   && file.status.pin === true
    // Read again when the account's rights change while the file is open.
    readonly property bool showsContact: file !== null && Account.canSeeFileAddress(file)

    // An answered action on this file, for the list it was opened from.
    signal actionApplied(string key, string fileId, var value)

    objectName: "fileDetail"
    readonly property bool ownTitleBar: true

    // Escape leaves as the back control does, on whichever stack the detail was opened.
    focus: true
    Keys.onEscapePressed: goBack()
    StackView.onActivated: forceActiveFocus()

    // The opening read: only it tells the server, so the seen mark it brings reads once more and
    // writes nothing again.
    function load() {
        if (read() && file.seen === false)
            sendSeen(file)
    }

    // False when the file is not in the store.
    function read() {
        try {
            watch.taken()
            // A caller may hand over the file itself; it is read again in full all the same.
            var id = fileId !== "" ? fileId : (summary ? summary._id : (file ? file._id : ""))
            var f = Database.getFile(id)
            if (f.error !== undefined) {
                error = String(f.error)
                file = null
                return false
            }
            error = ""
            file = f
            return true
        } catch (e) {
            Toast.error(e, "read")
            return false
        }
    }

    // In place, so the body and the pictures stay where they were scrolled to.
    onFileChanged: {
        showFacts()
        RowSync.assign(mediaRows, mediaEntries(), function (media) { return media.path })
    }
    onShowsContactChanged: showFacts()

    function showFacts() {
        RowSync.assign(factRows, facts(), function (fact) { return fact.k })
    }

    function sendSeen(f) {
        var code = f.code ? Number(f.code.auto) : 0
        Sockets.on("property_seen_result", function (reply) {
            try {
                var c = reply.content
                if (c && c.edit !== undefined) {
                    Database.fileSeen(code)
                } else {
                    Toast.show(Sockets.messageText(reply, "عملیات انجام نشد"))
                }
            } catch (e) {
                Toast.error(e, "property_seen_result")
            }
        })
        Sockets.send("property_seen", {"user_id": Account.userId(), "code": [code]})
    }

    // Label and value pairs shown in the body.
    function facts() {
        var f = file
        if (!f)
            return []
        var cards = Database.getFormCards(Print.formTrade(f.trade_ref), Number(f.property_ref))
        return Print.detailFacts(f, cards, f.dates ? Dates.timestamp_to_jdate(f.dates.register, false) : "",
                                 Account.canSeeFileAddress(f))
    }

    // The file's pictures and videos as the media viewer takes them.
    function mediaEntries() {
        var links = file && Array.isArray(file.media_links) ? file.media_links : []
        return links.map(function (l) {
            var path = l && typeof l === "object" ? String(l.path || "") : String(l || "")
            var video = /\.mp4$/i.test(path)
            return {"isVideo": video, "path": path,
                    "thumb": video ? path.substring(0, path.lastIndexOf(".")) + ".jpg" : path}
        }).filter(function (e) { return e.path !== "" })
    }

    function openMedia(index) {
        var d = Templates.dialog("UMediaViewer.qml", {"data": mediaEntries(), "currentIndex": index}, "com")
        if (d)
            d.open()
    }

    function openPatterns() {
        var d = Templates.dialog("instagram/PatternList.qml", {"file": file})
        if (d)
            d.open()
    }

    // The share text only: never the address nor the owner, whoever looks.
    function copyShareText() {
        Utilities.copyToClipboard(Consts.get_share_text(file))
        Toast.show("متن فایل کپی شد")
    }

    function goBack() {
        Stacks.leave(detail)
    }

    FileActions {
        id: actions
        context: ({"mode": "board", "isTab": true})
        onActionApplied: {
            detail.actionApplied(key, fileId, value)
            if (L.leavesDetail(key, value))
                detail.goBack()
        }
    }

    // An action here, an edit over it, a notice or the update: one read, whoever wrote.
    UFilesWatch {
        id: watch
        seen: detail.visible
        onRefresh: detail.read()
    }

    ListModel { id: factRows }
    ListModel { id: mediaRows }

    header: ToolBar {
        Row {
            id: detailTools
            objectName: "detailTools"
            anchors.fill: parent
            spacing: 6
            ToolButton { objectName: "detailBack"; text: "بازگشت"; onClicked: detail.goBack() }
            Label {
                anchors.verticalCenter: parent.verticalCenter
                font.pointSize: 13
                textFormat: Text.PlainText
                text: detail.file ? Consts.getTradeName(detail.file.trade_ref) + " "
                                    + Consts.getPropertyName(detail.file.property_ref) : ""
            }
            Row {
                objectName: "detailPinned"
                anchors.verticalCenter: parent.verticalCenter
                visible: detail.pinned
                spacing: 2
                Label {
                    font.family: Fonts.icon
                    font.pointSize: 14
                    color: "#1565c0"
                    text: String.fromCodePoint(parseInt(Icons.pin, 16))
                }
                Label { text: "سنجاق شده"; color: "#1565c0" }
            }
            ToolButton {
                objectName: "detailPostImage"
                visible: detail.file !== null
                text: "ساخت تصویر پست"
                onClicked: detail.openPatterns()
            }
            ToolButton {
                objectName: "detailCopyText"
                visible: detail.file !== null
                text: "کپی متن"
                onClicked: detail.copyShareText()
            }
            ToolButton {
                id: detailMenuButton
                objectName: "detailMenuButton"
                visible: detail.file !== null
                text: "عملیات"
                onClicked: {
                    detailMenu.entries = L.detailEntries(actions.entries(detail.file))
                    detailMenu.openBeside(detailMenuButton)
                }
            }
            ToolButton {
                objectName: "detailPrintButton"
                visible: detail.file !== null
                text: "چاپ"
                onClicked: {
                    var dialog = Templates.dialog("files/FileDetailPrintDialog.qml",
                                                  {"file": detail.file, "property_ref": detail.file.property_ref})
                    if (dialog)
                        dialog.open()
                }
            }
        }
    }

    UMenu {
        id: detailMenu
        objectName: "detailMenu"
        property var entries: []
        Instantiator {
            model: detailMenu.entries
            delegate: MenuItem {
                text: modelData.title
                onTriggered: actions.run(modelData.key, [{"index": -1, "file": detail.file}], modelData.title)
            }
            onObjectAdded: detailMenu.insertItem(index, object)
            onObjectRemoved: detailMenu.removeItem(object)
        }
    }

    Label {
        visible: detail.error !== ""
        anchors.centerIn: parent
        text: "فایل یافت نشد"
    }

    ListView {
        id: gallery
        objectName: "detailGallery"
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.margins: 12
        height: count > 0 ? 120 : 0
        orientation: ListView.Horizontal
        spacing: 8
        clip: true
        model: mediaRows
        delegate: UImage2 {
            readonly property var modelData: JSON.parse(model.json)
            width: 160
            height: 120
            source: modelData.thumb
            onClicked: detail.openMedia(index)
        }
    }

    ListView {
        id: body
        objectName: "detailBody"
        anchors.top: gallery.bottom
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.margins: 12
        width: Math.min(parent.width - 24, Consts.body_max_width)
        clip: true
        model: factRows
        delegate: Row {
            readonly property var modelData: JSON.parse(model.json)
            width: body.width
            spacing: 12
            Label { width: 140; text: modelData.k; color: "#616161"; textFormat: Text.PlainText; wrapMode: Text.WordWrap }
            Label {
                width: body.width - 160
                text: modelData.v
                textFormat: Text.PlainText
                wrapMode: Text.WordWrap
                // Mirrored with the layout: numbers start on the right as the words do.
                horizontalAlignment: Text.AlignLeft
            }
        }
    }

    Component.onCompleted: load()
}
