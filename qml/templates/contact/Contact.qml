import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "contacts.js" as Contacts
import "../note/reply.js" as Reply

// The phone book: one tab per contact kind, a search over the open tab, and the editor for the
// contacts the user files under "others".
Page {
    id: book
    objectName: "contact_book"
    // Drawers and dialogs sit outside the window's mirrored content.
    LayoutMirroring.enabled: true
    LayoutMirroring.childrenInherit: true

    property int tab: 0
    readonly property int kind: Contacts.tabs[tab].kind
    property string keyword: ""
    property var contacts: []
    property bool loading: false
    // The row to bring into view once the list is back.
    property string focusId: ""
    // Taken away while the book is open, the right empties it at once; given back, it reads again.
    readonly property bool allowed: Account.canSeePhoneBook()
    // The first read waits for the page to be complete, when its answer has a listener.
    property bool started: false
    onAllowedChanged: {
        if (!started)
            return
        contacts = []
        if (allowed)
            load()
    }

    // getContacts answers through one signal for every caller; one request at a time.
    property var requester: new Reply.Requester(function (args) {
        book.loading = true
        Database.getContacts(args.kind, 0, args.keyword)
    })

    function load() {
        if (!allowed)
            return
        requester.request({"kind": kind, "keyword": keyword})
    }

    function listReady(list) {
        if (!requester.inFlight)
            return
        if (!Contacts.answers(list, requester.inFlight.kind, requester.inFlight.keyword))
            return
        var asked = requester.answer()
        if (!asked)
            return
        loading = false
        if (!allowed)
            return
        if (asked.kind === kind && asked.keyword === keyword) {
            contacts = list
            if (focusId !== "")
                showFocused()
        } else
            load()
    }

    function openFiles(options) {
        Templates.open(book, "files/list/List.qml", options)
    }

    function press(contact) {
        try {
            if (Contacts.pressAction(kind) === "edit")
                editor.start(contact)
            else
                openFiles({"mode": "tab", "title": contact.name_family, "filters": [Contacts.customerFilter(contact)]})
        } catch (e) {
            Toast.error(e, "press")
        }
    }

    // The menu opens where the row was pressed.
    function longPress(contact, item, x, y) {
        var action = Contacts.longPressAction(kind)
        if (action === "remove")
            askRemove(contact)
        else if (action === "menu") {
            menu.contact = contact
            if (x === undefined)
                menu.openBeside(item)
            else
                menu.openAt(item, x, y)
        }
    }

    function askRemove(contact) {
        Templates.confirm({"title": Contacts.removeTitle, "text": Contacts.removeText}, function () { book.remove(contact) })
    }

    function indexOf(id) {
        for (var i = 0; i < contacts.length; ++i)
            if (contacts[i]._id === id)
                return i
        return -1
    }

    function dropRow(id) {
        var list = contacts.slice()
        var i = indexOf(id)
        if (i !== -1)
            list.splice(i, 1)
        contacts = list
    }

    function remove(contact) {
        try {
            var sentKind = kind
            Sockets.on("contact_remove_result", function (reply) {
                Sockets.off("contact_remove_result")
                var result = Reply.resultOf(reply)
                if (!result) {
                    Toast.show(Reply.messageOf(reply))
                    return
                }
                // A contact that keeps other kinds stays in the store with those kinds.
                if (Contacts.keepsKinds(result))
                    Database.saveContacts([result], Reply.stampOf(reply))
                else
                    Database.deleteContact(result._id)
                if (book.kind === sentKind)
                    book.dropRow(result._id)
            })
            Sockets.send("contact_remove", {"user_id": Account.userId(), "contact_id": contact._id, "type": sentKind})
        } catch (e) {
            Toast.error(e, "remove")
        }
    }

    function save(form) {
        try {
            var old = editor.contact
            var c = Contacts.editorContent(form, Account.userId(), Account.agentId(), old ? old._id : undefined)
            if (c.error) {
                Toast.show(c.error)
                return
            }
            var name = old ? "contact_edit" : "contact_create"
            Sockets.on(name + "_result", function (reply) {
                Sockets.off(name + "_result")
                var result = Reply.resultOf(reply)
                if (!result) {
                    Toast.show(Reply.messageOf(reply))
                    return
                }
                Database.saveContacts([result], Reply.stampOf(reply))
                editor.close()
                // The list comes again from the store, in its order, with the saved row in view.
                book.focusId = result._id
                book.load()
            })
            Sockets.send(name, c)
        } catch (e) {
            Toast.error(e, "save")
        }
    }

    function showFocused() {
        var i = indexOf(focusId)
        focusId = ""
        if (i !== -1)
            list.positionViewAtIndex(i, ListView.Contain)
    }

    Connections {
        target: Database
        function onContactListReady(list) { book.listReady(list) }
    }

    header: Column {
        width: book.width
        visible: book.allowed

        TabBar {
            id: tabs
            width: parent.width
            currentIndex: book.tab
            onCurrentIndexChanged: {
                if (currentIndex === book.tab)
                    return
                book.tab = currentIndex
                book.contacts = []
                book.load()
            }
            Repeater {
                model: Contacts.tabs
                UTabButton {
                    objectName: "contact_tab_" + modelData.kind
                    text: modelData.title
                }
            }
        }

        Row {
            width: parent.width
            padding: 6
            spacing: 6

            TextField {
                id: search
                objectName: "contact_search"
                width: parent.width - addButton.width - 24
                placeholderText: "جستجو"
                selectByMouse: true
                onTextChanged: {
                    book.keyword = Consts.fixNumbers(text.trim())
                    book.load()
                }
            }

            Button {
                id: addButton
                objectName: "contact_add"
                text: "+ مخاطب"
                highlighted: true
                onClicked: editor.start(null)
            }
        }
    }

    ListView {
        id: list
        objectName: "contact_list"
        anchors.fill: parent
        clip: true
        visible: book.allowed
        model: book.contacts

        delegate: ItemDelegate {
            id: row
            objectName: "contact_row_" + modelData._id
            width: ListView.view.width
            height: 58
            onClicked: book.press(modelData)
            onPressAndHold: book.longPress(modelData, row, row.pressX, row.pressY)

            MouseArea {
                anchors.fill: parent
                acceptedButtons: Qt.RightButton
                onClicked: book.longPress(modelData, row, mouse.x, mouse.y)
            }

            contentItem: Column {
                spacing: 2
                Text {
                    width: parent.width
                    text: modelData.name_family
                    textFormat: Text.PlainText
                    font.pointSize: 11
                    elide: Text.ElideRight
                }
                Text {
                    width: parent.width
                    text: [modelData.mobile_1, modelData.mobile_2].filter(function (m) { return !!m }).join(" - ")
                    textFormat: Text.PlainText
                    color: "#546e7a"
                    font.pointSize: 9
                }
            }
        }

        Label {
            anchors.centerIn: parent
            visible: list.count === 0 && !book.loading
            text: "مخاطبی یافت نشد"
            color: "#78909c"
        }

        BusyIndicator {
            anchors.centerIn: parent
            running: book.loading
            visible: running
        }
    }

    URefused {
        objectName: "contact_refused"
        visible: !book.allowed
    }

    UMenu {
        id: menu
        objectName: "contactMenu"
        property var contact: null
        MenuItem {
            objectName: "contact_menu_edit"
            text: "ویرایش"
            onTriggered: editor.start(menu.contact)
        }
        MenuItem {
            objectName: "contact_menu_remove"
            text: "حذف"
            onTriggered: book.askRemove(menu.contact)
        }
    }

    ContactEditor {
        id: editor
        onAccepted: book.save(form)
    }

    Component.onCompleted: {
        started = true
        load()
    }
}
