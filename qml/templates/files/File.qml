import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import com.forms 1.0
import "file.js" as FileJs

// The file editor: the catalogue form plus the fields outside it; creates or edits a file or a
// request through the server and stores the server's answer.
Item {
    id: editor

    // The file JSON when editing; null for a new one. Callers may give its server id instead.
    property var file: null
    property string fileId: ""
    // The local id of a draft being completed: it fills the form, is sent as a new file and goes
    // once the server has the file.
    property int draftId: 0
    property int draftCount: 0
    // Set by callers that edit; whether the editor edits follows from the file.
    property bool edit: false
    // A new request rather than a new property file.
    property bool request: false
    // 0 a property file, 1 a request.
    property int formType: request || (file && FileJs.liveTrade(file.trade_ref) > 4) ? 1 : 0
    property bool saving: false
    // The existing contact the customer inputs stand for: the file's own, or one found by mobile.
    property var chosenContact: file && file.customer && file.customer._id ? file.customer : null
    // Full hashtag objects; new ones have only a title.
    property var hashtags: file && Array.isArray(file.hashtag) ? file.hashtag.slice() : []
    // Server paths of the uploaded media.
    property var mediaLinks: []
    property var location: file && file.map && (Number(file.map.lat) || Number(file.map.lng)) ? file.map : null
    property string chosenAgentId: ""
    property var agents: []
    // The phone book's read while it is outstanding.
    property var contactsHandler: null
    // Without the right, the phone book is neither read nor offered; given back, it is read.
    readonly property bool phoneBook: Account.canSeePhoneBook()
    onPhoneBookChanged: loadContacts()
    readonly property bool editing: file !== null && file !== undefined && draftId <= 0
    // Whose customer and address the editor may not see: hidden, and sent back as the file has them.
    readonly property bool keepsContact: editing && !Account.canSeeFileAddress(file)
    // The archive box, where the account may archive the file; a new file is the user's own.
    readonly property bool archiveOffered: !editing || Account.canArchiveFile(file)
    readonly property string title: FileJs.screenTitle(formType === 1, editing)
    // Without a reply by then the save button works again.
    property int replyTimeout: 30000
    property string pendingName: ""
    readonly property alias formView: form
    // The edited file as the store holds it now: moved to the bin, archived or pinned elsewhere
    // while the form is open. A save sends this state; a file deleted for ever is `gone`.
    property var current: null
    property bool gone: false
    readonly property string fate: editing ? FileJs.fateLine(file, gone ? null : (current || file)) : ""

    signal edited(var file)

    objectName: "fileEditor"

    function params() {
        var acc = Account.get() || {}
        return {
            "formType": formType,
            "submitData": form.submitData,
            "editFile": editing ? file : null,
            "current": editing ? current : null,
            "archive": archiveBox.checked && archiveOffered,
            "registerDate": datePicker.timestamp,
            "description": description.text.trim(),
            "location": location,
            "selectedDistricts": form.selectedDistricts,
            "chosenContact": chosenContact,
            "hashtags": hashtags,
            "account": acc,
            "isManager": Account.isManager(),
            "userId": Account.userId(),
            "agentId": Account.agentId(),
            "chosenAgentId": chosenAgentId,
            "mediaLinks": mediaLinks,
            "isPrivate": privateBox.checked,
            "date": Dates.current_persian_date_with_hour(),
            "keepContact": keepsContact,
            "phoneBook": phoneBook
        }
    }

    function save() {
        try {
            if (saving)
                return
            if (!Account.allows(editing ? "edit" : "add", editing ? [file] : []))
                return
            follow()
            if (gone) {
                Toast.show(FileJs.GONE_MESSAGE)
                return
            }
            if (!Sockets.connected) {
                Toast.show(FileJs.OFFLINE_MESSAGE)
                return
            }
            if (mediaPicker.busy) {
                Toast.show("لطفا تا پایان بارگذاری رسانه ها صبر کنید")
                return
            }
            if (form.submitData.property_id === undefined) {
                Toast.show("لطفا نوع ملک را انتخاب نمایید")
                return
            }
            var message = FileJs.customerMessage(keepsContact ? FileJs.withFileContact(form.submitData, file)
                                                              : form.submitData)
            if (message !== "") {
                reveal(form.findInputByKeys("name_family", "customer"))
                Toast.show(message)
                return
            }
            var content = FileJs.buildContent(params())
            if (content.data === undefined)
                return
            var name = editing ? "property_edit" : "property_create"
            pendingName = name
            saving = true
            Sockets.on(name + "_result", replied)
            Sockets.on(name + "_result_error", failed)
            replyTimer.restart()
            Sockets.send(name, content)
        } catch (e) {
            saving = false
            Toast.error(e, "save")
        }
    }

    // Scrolls the form so that the item is in view.
    function reveal(item) {
        if (!item)
            return
        var y = item.mapToItem(body, 0, 0).y
        flick.contentY = Math.max(0, Math.min(y - 40, flick.contentHeight - flick.height))
    }

    function stopWaiting() {
        replyTimer.stop()
        if (pendingName !== "") {
            Sockets.off(pendingName + "_result")
            Sockets.off(pendingName + "_result_error")
        }
        saving = false
    }

    function failed() {
        stopWaiting()
    }

    function replied(reply) {
        var created = pendingName === "property_create"
        stopWaiting()
        try {
            var content = reply.content
            if (!content || !content.file) {
                var msg = reply.message && reply.message.msg ? reply.message.msg : "خطایی در ثبت فایل رخ داده است."
                Toast.show(msg)
                return
            }
            var parts = FileJs.splitReplyFile(content.file)
            var ts = Number(reply.timestamp) || -1
            if (parts.contacts.length > 0)
                Database.saveContacts(parts.contacts, ts)
            if (parts.districts.length > 0)
                Database.saveDistricts(parts.districts, ts)
            if (parts.hashtags.length > 0)
                Database.saveHashtags(parts.hashtags, ts)
            Database.saveFiles([parts.file], ts)
            if (created && draftId > 0)
                Database.deleteDraft(draftId)
            var stored = Database.getFile(parts.file._id)
            if (created && channelBox.visible && channelBox.checked)
                postToChannel(stored)
            Toast.show(FileJs.savedMessage(stored))
            edited(stored)
            close()
        } catch (e) {
            Toast.error(e, "replied")
        }
    }

    // The channel service's address carries a token: it is a setting, and nothing goes while it is empty.
    function postToChannel(stored) {
        try {
            var acc = Account.get() || {}
            var base = Settings.app_data ? Settings.app_data.channel_service_url : ""
            var url = FileJs.channelUrl(base, acc.telegram_channel, Consts.get_share_text(stored))
            if (url === "")
                return
            var request = new XMLHttpRequest()
            request.open("GET", url)
            request.setRequestHeader("Content-Type", "application/x-www-form-urlencoded")
            request.setRequestHeader("Connection", "Close")
            request.send()
        } catch (e) {
            Toast.error(e, "postToChannel")
        }
    }

    function saveDraft() {
        try {
            var p = params()
            var content = FileJs.buildContent(p)
            if (content.data === undefined)
                return
            // A draft saved again replaces itself in the same write: a failed save keeps the old one.
            var saved = Database.saveDraft(FileJs.draftFile(content, p), draftId)
            if (saved.error !== undefined) {
                Toast.show(FileJs.DRAFT_FAILED + saved.error)
                return
            }
            Toast.show("فایل در پیش نویس ها ذخیره شد.")
            close()
        } catch (e) {
            Toast.error(e, "saveDraft")
        }
    }

    function countDrafts() {
        watch.taken()
        draftCount = Database.getOfflineCount()
    }

    // Reads the edited file again; what the user typed stays in the form.
    function follow() {
        if (!editing || gone)
            return
        var now = Database.getFile(file._id)
        // Not found: deleted for ever. A read that failed (an empty answer) keeps what was known.
        if (now && now.error !== undefined)
            gone = true
        else if (now && Object.keys(now).length > 0)
            current = now
    }

    // The drafts list on this editor's stack; a draft chosen there opens in an editor of its own.
    function openDrafts() {
        return Templates.open(editor, "files/list/List.qml", {"mode": "drafts", "title": "پیش نویس ها"})
    }

    // Drafts saved, sent or removed, and the edited file's fate, while the editor is shown or covered.
    UFilesWatch {
        id: watch
        seen: editor.visible
        onRefresh: {
            editor.countDrafts()
            editor.follow()
        }
    }

    function close() {
        var c = editor.StackView.view
        while (c && typeof c.back !== "function")
            c = c.parent
        if (c)
            c.back()
    }

    function lookUpCustomer(mobile) {
        try {
            if (mobile === "") {
                chosenContact = null
                return
            }
            var found = Database.getContact("", mobile)
            if (!found || found.error !== undefined)
                return
            // Matched silently, so that the file names the existing contact and makes no second one;
            // only the phone book's reader is shown whom the number belongs to.
            chosenContact = found
            if (!Account.canSeePhoneBook())
                return
            var name = form.findInputByKeys("name_family", "customer")
            if (name && name.value === "" && found.name_family) {
                name.setValue(found.name_family, 1)
                form.onInput(name.inputItem, String(found.name_family), false)
            }
        } catch (e) {
            Toast.error(e, "lookUpCustomer")
        }
    }

    // The phone book for the customer inputs' completion, read once on the pool. Its answer comes
    // through the signal every contact read shares: only the whole book is this read's answer.
    function loadContacts() {
        dropContactsHandler()
        form.contactList = []
        if (!phoneBook)
            return
        var asked = Database.getContactsCount(-1)
        var handler = function (list) {
            // An answer queued before the handler was dropped still comes: it is no longer awaited.
            if (contactsHandler !== handler || !FileJs.isWholeBook(list, asked))
                return
            dropContactsHandler()
            form.contactList = list
        }
        contactsHandler = handler
        Database.contactListReady.connect(handler)
        Database.getContacts(-1, 0, "")
    }

    function dropContactsHandler() {
        if (contactsHandler)
            Database.contactListReady.disconnect(contactsHandler)
        contactsHandler = null
    }

    // A contact chosen from the completion fills the customer's name and mobile and is the file's customer.
    function customerChosen(contact) {
        try {
            chosenContact = contact
            var keys = ["name_family", "mobile_1"]
            for (var i = 0; i < keys.length; ++i) {
                var input = form.findInputByKeys(keys[i], "customer")
                var value = contact[keys[i]] === undefined || contact[keys[i]] === null ? "" : String(contact[keys[i]])
                if (input && input.value !== value) {
                    input.setValue(value, 1)
                    form.onInput(input.inputItem, value, false)
                }
            }
        } catch (e) {
            Toast.error(e, "customerChosen")
        }
    }

    function openHashtags() {
        var dialog = Templates.dialog("files/dialog/FileHashtags.qml", {"selectOnly": true, "selected": hashtags})
        if (dialog)
            dialog.chosen.connect(function (added, removed) {
                var removedTitles = removed.map(function (h) { return h.title })
                var next = hashtags.filter(function (h) { return removedTitles.indexOf(h.title) === -1 })
                added.forEach(function (h) { next.push(h) })
                hashtags = next
            })
    }

    Timer {
        id: replyTimer
        interval: editor.replyTimeout
        onTriggered: {
            editor.stopWaiting()
            Toast.show("پاسخی از سرور دریافت نشد.")
        }
    }

    Flickable {
        id: flick
        anchors.fill: parent
        contentHeight: body.height + 40
        clip: true
        ScrollBar.vertical: ScrollBar {}

        // Centred, and no wider than a readable column on a large window.
        Column {
            id: body
            width: Math.min(flick.width - 32, Consts.body_max_width)
            x: (flick.width - width) / 2
            y: 16
            spacing: 12

            Text {
                width: parent.width
                objectName: "editorTitle"
                text: editor.title
                font.pointSize: 14
                font.bold: true
            }

            FormView {
                id: form
                width: parent.width
                formType: editor.formType
                editFile: editor.file
                hidesContact: editor.keepsContact
                onTextChanged: {
                    if (inputItem && inputItem.parent_key === "customer" && inputItem.key === "mobile_1")
                        editor.lookUpCustomer(String(value))
                }
                onInputCompleted: {
                    if (inputItem && inputItem.parent_key === "customer")
                        editor.customerChosen(entry)
                }
            }

            FormDatePicker {
                id: datePicker
                width: parent.width
                title: "تاریخ ثبت"
                timestamp: editor.file && editor.file.dates && editor.file.dates.register > 0
                           ? editor.file.dates.register : Date.now()
            }

            TextArea {
                id: description
                objectName: "description"
                width: parent.width
                placeholderText: "توضیحات"
                wrapMode: TextEdit.Wrap
                textFormat: TextEdit.PlainText
                text: editor.file && editor.file.info && editor.file.info.desc ? editor.file.info.desc : ""
                background: Rectangle { border.color: "#bdbdbd"; radius: 4 }
            }

            Row {
                width: parent.width
                spacing: 8
                visible: editor.formType === 0
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: editor.location ? "موقعیت: " + Number(editor.location.lat).toFixed(5) + " , "
                                            + Number(editor.location.lng).toFixed(5) : "موقعیت انتخاب نشده است"
                    font.pointSize: 10
                }
                Button {
                    objectName: "pickLocation"
                    text: "انتخاب موقعیت روی نقشه"
                    onClicked: Templates.pickPoint(function (lat, lng) { editor.location = {"lat": lat, "lng": lng} })
                }
                Button {
                    text: "حذف موقعیت"
                    visible: editor.location !== null
                    onClicked: editor.location = null
                }
            }

            Text {
                width: parent.width
                text: editor.mediaLinks.length > 0 ? "رسانه ها: " + editor.mediaLinks.length : "رسانه ای انتخاب نشده است"
                font.pointSize: 10
            }

            UImageSelect {
                id: mediaPicker
                objectName: "media"
                width: parent.width
                onChanged: editor.mediaLinks = mediaLinks()
            }

            Row {
                width: parent.width
                spacing: 8
                visible: Account.isManagerLevel() && editor.agents.length > 0
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: "مشاور"
                    font.pointSize: 10
                }
                ComboBox {
                    objectName: "agent"
                    width: 220
                    model: [""].concat(editor.agents.map(function (a) { return a.name_family }))
                    // The file's own agent, until another is chosen.
                    currentIndex: editor.file && editor.file.agent_id
                                  ? editor.agents.map(function (a) { return a._id }).indexOf(editor.file.agent_id) + 1 : 0
                    onActivated: editor.chosenAgentId = index > 0 ? editor.agents[index - 1]._id : ""
                }
            }

            Column {
                width: parent.width
                spacing: 4
                Flow {
                    width: parent.width
                    spacing: 4
                    Repeater {
                        model: editor.hashtags
                        Rectangle {
                            width: tag.implicitWidth + 16
                            height: 26
                            radius: 13
                            color: "#e8f5e9"
                            Text {
                                id: tag
                                anchors.centerIn: parent
                                text: "#" + String(modelData.title || "")
                                textFormat: Text.PlainText
                                font.pointSize: 9
                            }
                        }
                    }
                }
                Button {
                    // Mirrored: the start of the line, on the right.
                    anchors.left: parent.left
                    objectName: "hashtags"
                    text: "برچسب ها"
                    onClicked: editor.openHashtags()
                }
            }

            Row {
                width: parent.width
                spacing: 16
                CheckBox {
                    id: privateBox
                    objectName: "private"
                    text: "فایل خصوصی"
                    checked: !!(editor.file && editor.file.status && editor.file.status.is_private)
                }
                CheckBox {
                    id: archiveBox
                    objectName: "archive"
                    text: "بایگانی"
                    checked: !!(editor.file && Number((editor.current || editor.file).trade_ref) > 8)
                    visible: editor.archiveOffered
                }
                CheckBox {
                    id: channelBox
                    objectName: "channel"
                    text: "ارسال به کانال"
                    visible: !editor.editing && !!Account.get() && !!Account.get().telegram_channel
                }
            }

            Text {
                objectName: "fate"
                width: parent.width
                visible: text !== ""
                text: editor.fate
                wrapMode: Text.Wrap
                color: "#c62828"
                font.pointSize: 10
            }

            Row {
                width: parent.width
                spacing: 12
                Button {
                    objectName: "save"
                    text: "ثبت اطلاعات"
                    enabled: !editor.saving && !editor.gone
                    onClicked: editor.save()
                }
                Button {
                    objectName: "draft"
                    text: "ذخیره در پیش نویس"
                    // A draft saved now would close the editor, its reply unheard, and stay beside the file.
                    enabled: !editor.saving
                    visible: !editor.editing
                    onClicked: Templates.confirm({"title": FileJs.DRAFT_TITLE, "text": FileJs.DRAFT_TEXT},
                                                 function () { editor.saveDraft() })
                }
                Button {
                    objectName: "drafts"
                    text: "پیش نویس ها (" + editor.draftCount + ")"
                    visible: !editor.editing && editor.draftId <= 0
                    onClicked: editor.openDrafts()
                }
            }
        }
    }

    Component.onCompleted: {
        try {
            if (!file && fileId !== "") {
                var stored = Database.getFile(fileId)
                if (stored && stored.error === undefined)
                    file = stored
            }
            if (!file && draftId > 0) {
                var draft = Database.getFileByLocalId(draftId)
                if (draft && draft.error === undefined)
                    file = draft
            }
            countDrafts()
            loadContacts()
            form.init()
            // A draft keeps its customer as typed; the contact of that mobile is found again.
            if (draftId > 0 && !chosenContact && file && file.customer && file.customer.mobile_1)
                lookUpCustomer(String(file.customer.mobile_1))
            if (editing)
                mediaPicker.setFile(file)
            if (Account.isManagerLevel())
                agents = Database.getAgentList() || []
        } catch (e) {
            Toast.error(e, "File.onCompleted")
        }
    }

    Component.onDestruction: {
        dropContactsHandler()
        if (saving)
            stopWaiting()
    }
}
