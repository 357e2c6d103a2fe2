import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// Opens a feature screen by key on a stack of its own, as a page or inside StackContentDialog.
Page {
    id: container

    property string contentType: ""
    property var options: ({})
    // Called with a board: the new one when the "tavorlin" screen adds one, and a board's list's
    // own when the user saves its order there.
    property var callback: null

    signal closeRequested()

    readonly property var screens: ({
        "settings": {"path": "setting/applicationSettings/MainSettings.qml", "title": "تنظیمات", "options": false},
        "hashtag": {"path": "setting/Hashtag.qml", "title": "برچسب ها", "options": false},
        "district": {"path": "setting/District.qml", "title": "مناطق", "options": false},
        "contact": {"path": "contact/Contact.qml", "title": "دفترچه تلفن", "options": false},
        "search": {"path": "files/search/Search.qml", "title": "جستجو", "options": true},
        "tavorlin": {"path": "main/Tavorlins_Add.qml", "title": "Tavorlin جدید", "options": true},
        "colleague": {"path": "colleague/ColleagueList.qml", "title": "همکاران", "options": true},
        "chat": {"path": "chat/ChatList.qml", "title": "گفتگو ها", "options": true},
        "store": {"path": "setting/Store.qml", "title": "بنگاه من", "options": true},
        "match": {"path": "files/FileMatch.qml", "title": "فایلهای مرتبط", "options": true},
        "fileList": {"path": "files/list/List.qml", "title": "", "options": true, "noHeader": true},
        "file": {"path": "files/File.qml", "title": "فایل", "options": true}
    })

    // A page pushed over the first that has a title bar and a way back of its own (a file's
    // detail, a list of results, the work report) stands in for the container's: one bar, one back.
    readonly property bool frontHasBar: inner.depth > 1 && inner.currentItem !== null
                                        && inner.currentItem.ownTitleBar === true
    readonly property bool showHeader: screens[contentType] !== undefined && screens[contentType].noHeader !== true
                                       && !frontHasBar
    // Pushed on another container, this one's bar is the one shown.
    readonly property bool ownTitleBar: showHeader
    title: screens[contentType] !== undefined ? screens[contentType].title : ""

    function open(key, opts) {
        try {
            var screen = screens[key]
            if (screen === undefined) {
                console.warn("StackContent: unknown content type " + key)
                return null
            }
            contentType = key
            if (opts !== undefined)
                options = opts
            var item = inner.push(Templates.uri(screen.path), screen.options ? (options || {}) : {})
            if (!item)
                return null
            // A board's list hands the board back with the order the user chose there.
            if (key === "fileList" && item.orderSaved) {
                item.orderSaved.connect(function (board) {
                    if (typeof container.callback === "function")
                        container.callback(board)
                })
            }
            if (key === "tavorlin" && item.tavorlinAdded) {
                item.tavorlinAdded.connect(function (board) {
                    if (typeof container.callback === "function")
                        container.callback(board)
                })
            }
            return item
        } catch (e) {
            Toast.error(e, "open")
            return null
        }
    }

    function back() {
        if (inner.depth > 1)
            inner.pop()
        else
            closeRequested()
    }

    // Escape: back from the screen in front, which may be a container pushed on this one.
    function backFromFront() {
        var top = inner.currentItem
        if (top && typeof top.backFromFront === "function")
            top.backFromFront()
        else
            back()
    }

    onCloseRequested: {
        // As a page the container leaves through the stack it is on; the dialog form closes itself.
        if (Stacks.stackOf(container))
            Stacks.leave(container)
    }

    header: ToolBar {
        visible: container.showHeader
        height: visible ? implicitHeight : 0

        Row {
            anchors.fill: parent
            spacing: 8

            ToolButton {
                objectName: "containerBack"
                font.family: Fonts.icon
                font.pointSize: 16
                text: String.fromCodePoint(parseInt(Icons.arrowRight, 16))
                onClicked: container.back()
            }

            Label {
                objectName: "containerTitle"
                anchors.verticalCenter: parent.verticalCenter
                text: Consts.rtl(container.title)
                font.pointSize: 13
            }
        }
    }

    StackView {
        id: inner
        anchors.fill: parent
    }

    Component.onCompleted: {
        if (contentType !== "")
            open(contentType, options)
    }
}
