import QtQuick 2.15
import QtQuick.Controls 2.15
import Qt.labs.platform 1.1 as Platform
import com 1.0
import "media.js" as Media

// A file's photos and videos: picked from disk, uploaded one after another through one uploader,
// the first one being the main image. Stored images are removed on the server first.
Item {
    id: root

    // The file being edited (for the removal of its stored images), or null.
    property var file: null
    // True while the upload walk runs; the form waits for it before saving.
    property bool busy: false
    // Key of the item being uploaded, or -1; items are told apart by key, since removals
    // shift indexes while an upload runs.
    property int currentKey: -1
    property int serial: 0
    readonly property alias model: items
    readonly property int count: items.count

    // The list or an item's server path changed.
    signal changed()

    implicitHeight: flow.implicitHeight

    function icon(name) { return String.fromCodePoint(parseInt(Icons[name], 16)) }

    function list() {
        var out = []
        for (var i = 0; i < items.count; ++i) {
            var it = items.get(i)
            out.push({"imageSource": it.imageSource, "uploaded": it.uploaded, "server_path": it.server_path})
        }
        return out
    }

    // The server paths of the uploaded items, main image first.
    function mediaLinks() {
        return list().filter(function (it) { return it.uploaded && it.server_path !== "" })
                     .map(function (it) { return it.server_path })
    }

    function setFile(f) {
        file = f
        items.clear()
        var stored = Media.storedItems(f)
        for (var i = 0; i < stored.length; ++i) {
            stored[i].key = ++serial
            items.append(stored[i])
        }
        changed()
    }

    // Adds picked files (paths or URLs) up to the limit and uploads them; the file dialog and the
    // tests call it.
    function addPaths(paths) {
        try {
            if (items.count >= Media.LIMIT) {
                Toast.show(Media.limitMessage)
                return 0
            }
            var pick = Media.addable(items.count, paths)
            for (var i = 0; i < pick.add.length; ++i)
                items.append({"imageSource": Media.asUrl(pick.add[i]), "uploaded": false, "server_path": "",
                              "key": ++serial})
            if (pick.toast)
                Toast.show(Media.limitMessage)
            if (pick.add.length > 0) {
                changed()
                upload()
            }
            return pick.add.length
        } catch (e) {
            Toast.error(e, "addPaths")
            return 0
        }
    }

    function rememberFolder(folder) {
        if (!folder || folder === Settings.app_data.last_pictures_folder)
            return
        var data = Settings.app_data
        data.last_pictures_folder = folder
        Settings.app_data = data
        Settings.save()
    }

    // Answers the file dialog it opened.
    function pick() {
        try {
            var dialog = dialogComponent.createObject(root)
            dialog.open()
            return dialog
        } catch (e) {
            Toast.error(e, "pick")
        }
    }

    // Uploads the next item not yet uploaded; the walk ends when none is left or one fails.
    function upload() {
        if (busy && currentKey !== -1)
            return
        var next = Media.nextToUpload(list())
        if (next === -1) {
            busy = false
            currentKey = -1
            return
        }
        busy = true
        currentKey = items.get(next).key
        var tile = tiles.itemAt(next)
        uploader.uploadingImage = tile ? tile.picture : null
        uploader.file = items.get(next).imageSource
        uploader.start()
    }

    function indexOfKey(key) {
        for (var i = 0; i < items.count; ++i)
            if (items.get(i).key === key)
                return i
        return -1
    }

    function uploaded(data) {
        var i = indexOfKey(currentKey)
        if (i !== -1) {
            items.setProperty(i, "server_path", String(data.name))
            items.setProperty(i, "uploaded", true)
        }
        currentKey = -1
        changed()
        upload()
    }

    // A failed upload ends the walk; the item stays not uploaded, to be retried or removed.
    function uploadFailed() {
        currentKey = -1
        busy = false
    }

    function askMain(index) {
        if (index <= 0 || index >= items.count)
            return
        Templates.confirm({"title": "تصویر اصلی", "text": "آیا می خواهید این عکس به عنوان تصویر اصلی انتخاب شود؟"},
                          function () { root.makeMain(index) })
    }

    function makeMain(index) {
        if (index <= 0 || index >= items.count || busy)
            return
        items.move(index, 0, 1)
        items.move(1, index, 1)
        changed()
    }

    function indexOfPath(path) {
        for (var i = 0; i < items.count; ++i)
            if (items.get(i).server_path === path)
                return i
        return -1
    }

    function removeAt(index) {
        try {
            if (index < 0 || index >= items.count || items.get(index).key === currentKey)
                return
            var it = items.get(index)
            if (!Media.needsServerRemoval(it)) {
                items.remove(index)
                changed()
                return
            }
            var link = it.server_path
            var fileId = file ? String(file._id || "") : ""
            Sockets.request("media_link_remove",
                            Media.removalContent(Account.userId(), Account.agentId(), file, link),
                            function (reply) {
                // A refused reply never comes here; one without content changes nothing.
                if (reply.content === null || reply.content === undefined) {
                    Toast.show(Sockets.messageText(reply, "حذف تصویر انجام نشد"))
                    return
                }
                if (fileId !== "")
                    Database.deleteFileImage(fileId, link)
                var i = root.indexOfPath(link)
                if (i !== -1)
                    items.remove(i)
                root.changed()
            })
        } catch (e) {
            Toast.error(e, "removeAt")
        }
    }

    ListModel { id: items }

    UCloudUploader {
        id: uploader
        onFinished: root.uploaded(data)
    }

    Component {
        id: dialogComponent
        Platform.FileDialog {
            fileMode: Platform.FileDialog.OpenFiles
            nameFilters: ["تصاویر و ویدیو ها (" + Media.pickerFilter + ")"]
            // Where the last photos came from; the pictures folder the first time.
            folder: Utilities.picker_folder(Settings.app_data.last_pictures_folder || "")
            onAccepted: {
                if (files.length > 0)
                    root.rememberFolder(String(files[0]).substring(0, String(files[0]).lastIndexOf("/")))
                root.addPaths(files.map(function (f) { return String(f) }))
                destroy()
            }
            onRejected: destroy()
        }
    }

    Flow {
        id: flow
        width: parent.width
        spacing: 8

        Repeater {
            id: tiles
            model: items

            delegate: Item {
                id: tile
                objectName: "picker_item_" + index
                property alias picture: picture
                readonly property bool video: Media.isVideo(model.imageSource)
                width: 110
                height: 110

                UUploadingImage {
                    id: picture
                    anchors.fill: parent
                    source: tile.video ? "" : model.imageSource
                    onFailed: if (model.key === root.currentKey) root.uploadFailed()
                }

                Text {
                    visible: tile.video
                    anchors.centerIn: parent
                    font.family: Fonts.icon
                    font.pixelSize: 36
                    color: "#546e7a"
                    text: root.icon("video")
                }

                Rectangle {
                    visible: index === 0
                    anchors.top: parent.top
                    anchors.left: parent.left
                    anchors.margins: 4
                    width: mainLabel.implicitWidth + 10
                    height: 18
                    radius: 9
                    color: "#1565c0"
                    Text {
                        id: mainLabel
                        anchors.centerIn: parent
                        text: "تصویر اصلی"
                        color: "white"
                        font.pointSize: 7
                    }
                }

                MouseArea {
                    anchors.fill: parent
                    acceptedButtons: Qt.LeftButton | Qt.RightButton
                    onClicked: {
                        if (mouse.button === Qt.RightButton)
                            root.askMain(index)
                        else if (!model.uploaded && !root.busy)
                            root.upload()
                    }
                    onPressAndHold: root.askMain(index)
                }

                Rectangle {
                    objectName: "picker_retry_" + index
                    visible: !model.uploaded && !root.busy
                    anchors.centerIn: parent
                    width: 34
                    height: 34
                    radius: 17
                    color: "#c62828"
                    Text {
                        anchors.centerIn: parent
                        font.family: Fonts.icon
                        font.pixelSize: 20
                        color: "white"
                        text: root.icon("refresh")
                    }
                }

                Rectangle {
                    objectName: "picker_remove_" + index
                    visible: model.key !== root.currentKey
                    anchors.top: parent.top
                    anchors.right: parent.right
                    anchors.margins: 2
                    width: 22
                    height: 22
                    radius: 11
                    color: "#e53935"
                    Text {
                        anchors.centerIn: parent
                        font.family: Fonts.icon
                        font.pixelSize: 14
                        color: "white"
                        text: root.icon("close")
                    }
                    MouseArea {
                        anchors.fill: parent
                        onClicked: root.removeAt(index)
                    }
                }
            }
        }

        Rectangle {
            objectName: "picker_add"
            width: 110
            height: 110
            radius: 6
            color: "#f5f5f5"
            border.color: "#bdbdbd"
            Column {
                anchors.centerIn: parent
                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    font.family: Fonts.icon
                    font.pixelSize: 32
                    color: "#607d8b"
                    text: root.icon("imagePlus")
                }
                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: "افزودن تصویر"
                    font.pointSize: 9
                }
            }
            MouseArea {
                anchors.fill: parent
                onClicked: root.pick()
            }
        }
    }
}
