import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "home.js" as Home

// The home: the shelves over the wallpaper, the old-files hint, quick search and the actions.
Item {
    id: home
    objectName: "shelvesHome"

    property var shelves: []
    property int oldCount: 0
    property bool loaded: false

    LayoutMirroring.enabled: true
    LayoutMirroring.childrenInherit: true

    function managerLevel() { return Account.isManagerLevel() }

    function reload() {
        try {
            var list = []
            var take = function (answer) { list = answer }
            Database.shelvesListReady.connect(take)
            if (managerLevel())
                Database.getShelvesList()
            else
                Database.getShelvesList(Account.agentId())
            Database.shelvesListReady.disconnect(take)
            shelves = list
            loaded = true
            if (list.length === 0 && Account.syncedData())
                emptyRule()
            refreshOld()
        } catch (e) {
            Toast.error(e, "Shelves.reload")
        }
    }

    function emptyRule() {
        if (managerLevel()) {
            shelfDialog({"closable": false})
        } else {
            Home.openDialog(Templates, "dialog/DMessage.qml",
                            {"title": Home.texts.noAccessTitle, "text": Home.texts.noAccess}, "com")
        }
    }

    function shelfDialog(options) {
        var dialog = Home.openDialog(Templates, "main/dialog/ShelfAdd.qml", options)
        if (dialog)
            dialog.saved.connect(function () { reload() })
        return dialog
    }

    function refreshOld() {
        oldCount = Database.getOldFilesCount(Date.now())
    }

    function oldOptions() {
        return Home.oldFilesOptions(Date.now(), Account.isManager() ? "" : Account.agentId())
    }

    function openOldFiles() {
        try {
            Home.openContainer(Templates, Consts.desktop, "fileList", oldOptions())
        } catch (e) {
            Toast.error(e, "openOldFiles")
        }
    }

    function openShelf(shelf) {
        try {
            Templates.initial("main/Tavorlins_List.qml", {"shelf": Home.copy(shelf)})
        } catch (e) {
            Toast.error(e, "openShelf")
        }
    }

    function shelfMenu(shelf) {
        try {
            if (!managerLevel())
                return null
            var menu = Home.openDialog(Templates, "main/dialog/ShelfSetting.qml", {"shelf": Home.copy(shelf)})
            if (menu)
                menu.chosen.connect(function (key) { shelfAction(key, Home.copy(shelf)) })
            return menu
        } catch (e) {
            Toast.error(e, "shelfMenu")
            return null
        }
    }

    function shelfAction(key, shelf) {
        try {
            if (key === "boards") {
                var screen = Templates.initial("main/Tavorlins_Shelf.qml", {"shelf": shelf})
                if (screen)
                    screen.changed.connect(reload)
            } else if (key === "edit") {
                shelfDialog({"shelf": shelf})
            } else if (key === "wallpaper") {
                Home.openDialog(Templates, "main/dialog/Wallpaper.qml", {})
            } else if (key === "access") {
                Home.openDialog(Templates, "main/dialog/ShelfAgentAccess.qml", {"shelf": shelf})
            } else if (key === "delete") {
                Templates.confirm({"title": Home.texts.confirm, "text": Home.texts.shelfDelete},
                                  function () { removeShelf(shelf) })
            }
        } catch (e) {
            Toast.error(e, "shelfAction")
        }
    }

    function removeShelf(shelf) {
        Home.request(Sockets, Toast.show, "shelf_remove",
                     {"user_id": Account.userId(), "agent_id": Account.agentId(), "shelf_id": shelf._id}, null, true,
                     function (result) {
            Database.deleteShelf(String(result._id))
            removeTile(String(result._id))
        })
    }

    function removeTile(id) {
        shelves = shelves.filter(function (s) { return s._id !== id })
    }

    function quickSearch(keyword) {
        var text = String(keyword).trim()
        if (text === "")
            return
        Home.openContainer(Templates, Consts.desktop, "fileList", Home.quickSearchOptions(text))
    }

    function action(key) {
        try {
            switch (key) {
            case "property":
            case "request":
                if (!Account.canAdd()) {
                    Toast.show(Home.texts.noAdd)
                    return
                }
                Home.openContainer(Templates, Consts.desktop, "file", {"request": key === "request"})
                break
            case "code":
                Home.openDialog(Templates, "main/dialog/SearchType.qml", {})
                break
            case "map":
                Templates.open(home, "files/map/UMap.qml", {})
                break
            case "shelf":
                shelfDialog({})
                break
            }
        } catch (e) {
            Toast.error(e, "action")
        }
    }

    function onNotice(data) {
        try {
            var content = data && data.content ? data.content : {}
            var model = content.data || {}
            var next = Home.shelvesAfterNotice(shelves, String(content.type), model)
            if (next === null)
                reload()
            else
                shelves = next
        } catch (e) {
            Toast.error(e, "shelvesNotify")
        }
    }

    Image {
        id: wallpaper
        objectName: "wallpaper"
        anchors.fill: parent
        fillMode: Image.PreserveAspectCrop
        source: Consts.image(Consts.getWallpaper(Number(Settings.app_data.wallpaper) + 1))
    }

    UHeaderShelf {
        id: header
        anchors.top: parent.top
        width: parent ? parent.width : 0
        oldCount: home.oldCount
        onSearch: home.quickSearch(keyword)
        onOldFiles: home.openOldFiles()
        orderVisible: home.managerLevel() && home.shelves.length > 1
        onOrderShelves: {
            var order = Home.openDialog(Templates, "main/dialog/ShelvesList.qml", {})
            if (order)
                order.changed.connect(home.reload)
        }
    }

    GridView {
        id: grid
        objectName: "shelfGrid"
        anchors.top: header.bottom
        anchors.bottom: parent.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.margins: 16
        clip: true
        cellWidth: 200
        cellHeight: 230
        model: home.shelves

        delegate: Item {
            width: grid.cellWidth
            height: grid.cellHeight
            objectName: "shelf_" + modelData._id

            Rectangle {
                anchors.fill: parent
                anchors.margins: 8
                radius: 8
                color: "#ccffffff"
                border.color: Consts.shelf_header_color(modelData.color)
                border.width: 2

                Rectangle {
                    id: shelfHead
                    width: parent ? parent.width : 0
                    height: 40
                    radius: 8
                    color: Consts.shelf_header_color(modelData.color)
                    Label {
                        anchors.centerIn: parent
                        width: parent.width - 12
                        text: modelData.name
                        textFormat: Text.PlainText
                        elide: Text.ElideRight
                        horizontalAlignment: Text.AlignHCenter
                        color: "#ffffff"
                        font.family: Fonts.app
                        font.pointSize: Consts.normalFont
                    }
                }

                Image {
                    anchors.top: shelfHead.bottom
                    anchors.bottom: parent.bottom
                    anchors.horizontalCenter: parent ? parent.horizontalCenter : undefined
                    anchors.margins: 8
                    width: parent.width - 16
                    fillMode: Image.PreserveAspectFit
                    source: Consts.image(Consts.getShelvesColor(Consts.shelf_background_image(modelData.color)))
                }
            }

            MouseArea {
                anchors.fill: parent
                onClicked: home.openShelf(modelData)
                onPressAndHold: home.shelfMenu(modelData)
                onDoubleClicked: {
                    if (Consts.mobile)
                        Home.openDialog(Templates, "main/dialog/TavorlinList.qml", {"shelf": Home.copy(modelData)})
                }
            }
        }
    }

    UFloatButtonShelves {
        anchors.left: parent.left
        anchors.bottom: parent.bottom
        anchors.margins: 24
        managerLevel: home.managerLevel()
        onTriggered: home.action(key)
    }

    Connections {
        target: Notification
        function onShelvesNotify(data) { home.onNotice(data) }
    }

    // Whatever added, archived or removed an old file.
    UFilesWatch {
        seen: home.visible
        onRefresh: home.refreshOld()
    }

    Component.onCompleted: reload()
}
