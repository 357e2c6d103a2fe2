import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "list.js" as L

// The per-file menu's work for the file list and the detail screen: confirmation, the archive
// date, the request, and the store change from the server's reply. The screen applies the row
// changes it is told about.
Item {
    id: actions

    // The list this runs for: {mode, isTab, tradeType, propertyType, filters}.
    property var context: ({})

    signal actionApplied(string key, string fileId, var value)
    signal countsChanged()
    signal selectRequested()
    signal tagApplied(string fileId, int status)

    readonly property string failedText: "عملیات انجام نشد"
    // The files revision before the answered action wrote the store.
    property int revisionBefore: -1

    function access(file) {
        return {"manager": Account.isManager(),
                "canEdit": Account.canEditFile(file) === undefined,
                "canDelete": Account.canDeleteFile(file) === true}
    }

    function entries(file) {
        var kind = L.menuKind(context.mode, context.tradeType !== undefined && Number(context.tradeType) > 0
                              ? context.tradeType : file.trade_ref, file)
        return L.menuEntries(kind, file, access(file), context.isTab === true)
    }

    function userName() {
        var acc = Account.get()
        return acc && acc.name_family ? acc.name_family : ""
    }

    function openContent(key, options) {
        return Templates.content(actions, key, options)
    }

    // rows: [{index, file}]; one row for the menu, several for a multiple selection.
    function run(key, rows, title) {
        try {
            if (rows.length === 0) {
                Toast.show("فایلی انتخاب نشده است")
                return
            }
            var file = rows[0].file
            if (!Account.allows(key, rows.map(function (r) { return r.file })))
                return
            switch (key) {
            case "select":
                selectRequested()
                return
            case "edit":
                // The form stores the server's answer, which the list reads again in place.
                openContent("file", {"file": Database.getFile(file._id)})
                return
            case "hashtag":
                Templates.dialog("files/dialog/FileHashtags.qml", {"file": file})
                return
            case "history":
                Templates.open(actions, "files/FileNotes.qml", {"file": Database.getFile(file._id)})
                return
            case "match":
                openContent("match", {"file": file})
                return
            case "public":
                Toast.show("سیستم آگهی عمومی به زودی در Tavorlin راه اندازی خواهد شد.")
                return
            case "tag1": case "tag2": case "tag3":
                sendTag(file, Number(key.substring(3)))
                return
            case "send":
                chooseAgents(file, title)
                return
            }
            confirm(L.confirmText(title, rows.length), function () {
                if (key === "copy")
                    sendCopy(file)
                else if (key === "emptyRecycleBin")
                    sendClean()
                else if (key === "archive" || key === "archiveDue")
                    pickDate(function (date) { sendAction(key, rows, date) })
                else
                    sendAction(key, rows, null)
            })
        } catch (e) {
            Toast.error(e, "run")
        }
    }

    function confirm(text, accepted) {
        return Templates.confirm({"title": "آیا مطمئن هستید ؟", "text": text}, accepted)
    }

    function pickDate(picked) {
        var d = datePicker.createObject(Consts.window ? Consts.window.overlay : actions)
        d.picked.connect(picked)
        d.open()
        return d
    }

    function sendAction(key, rows, date) {
        var request = L.actionRequest(key, rows, {"userId": Account.userId(), "userName": userName(),
                                                  "dateText": Dates.current_persian_date_with_hour(),
                                                  "date": date})
        if (!request)
            return
        Sockets.on("property_action_result", applyActionReply)
        Sockets.send("property_action", request, request)
    }

    function applyActionReply(reply) {
        try {
            var c = reply.content
            if (!c || !Array.isArray(c.action)) {
                Toast.show(Sockets.messageText(reply, failedText))
                return
            }
            var ts = reply.timestamp
            revisionBefore = Database.filesRevision
            for (var i = 0; i < c.action.length; ++i) {
                var a = c.action[i]
                if (c.key === "status.delete")
                    Database.moveFileToRecyclerbin(a.file_id, a.value, ts)
                else if (c.key === "die")
                    Database.deleteFile(a.file_id, ts)
                else if (c.key === "trade_ref")
                    Database.archiveFile(a.file_id, a.value, a.date !== undefined && a.date !== null ? a.date : ts, ts)
                else if (c.key === "status.pin" || c.key === "pin_agent")
                    Database.pinFile(a.file_id, a.value, ts)
                else if (c.key === "status.ad_colleague")
                    Database.adColleagueFile(a.file_id, a.value, ts)
                actionApplied(c.key, a.file_id, a.value)
            }
            if (L.countsAfter(c.key))
                countsChanged()
        } catch (e) {
            Toast.error(e, "applyActionReply")
        }
    }

    function sendCopy(file) {
        var r = L.copyRequest(file, Account.userId(), Account.agentId())
        Sockets.on("property_copy_result", function (reply) {
            try {
                if (!reply.content || !reply.content.file) {
                    Toast.show(Sockets.messageText(reply, failedText))
                    return
                }
                Database.saveFiles([L.copiedFileForStore(reply.content.file)], reply.timestamp)
            } catch (e) {
                Toast.error(e, "property_copy_result")
            }
        })
        Sockets.send("property_copy", r.content, r.payload)
    }

    function sendClean() {
        var filters = L.binCountFilters(context.filters || [])
        var request = L.cleanRequest(Account.userId(), Number(context.tradeType), Number(context.propertyType), filters)
        Sockets.on("property_clean_result", function (reply) {
            try {
                if (!reply.content) {
                    Toast.show(Sockets.messageText(reply, failedText))
                    return
                }
                Database.deleteFilesByFilter(request.trade_id, request.property_id, request.filter)
                countsChanged()
            } catch (e) {
                Toast.error(e, "property_clean_result")
            }
        })
        Sockets.send("property_clean", request)
    }

    // Match tags are set on the offer against the request, whichever side the list was opened for.
    function sendTag(row, choice) {
        var base = context.matchFile
        if (!base)
            return
        var baseIsOffer = L.foldTrade(base.trade_ref) <= 4
        var offer = baseIsOffer ? base : row
        var request = baseIsOffer ? row : base
        var content = L.tagRequest(Account.userId(), offer, request, L.tagOf(row, base._id), choice)
        Sockets.on("property_tag_result", function (reply) {
            try {
                var data = reply.content
                if (!data) {
                    Toast.show(Sockets.messageText(reply, failedText))
                    return
                }
                Database.savefileMatchTag(data.file_id, data.tag_for, Number(data.status))
                tagApplied(row._id, Number(data.status))
            } catch (e) {
                Toast.error(e, "property_tag_result")
            }
        })
        Sockets.send("property_tag", content, {"index": 0})
    }

    // The agents to send the file to, the question, then the request; the store is not touched:
    // the agents get the file as a pushed notice.
    function chooseAgents(file, title) {
        var d = Templates.dialog("files/dialog/FileSendAgents.qml", {})
        if (!d)
            return null
        d.chosen.connect(function (agents) {
            if (agents.length === 0)
                Toast.show("کاربری انتخاب نشده است")
            else
                confirm(L.confirmText(title, 1), function () { sendFile(file, agents) })
        })
        d.open()
        return d
    }

    function sendFile(file, agents) {
        Sockets.on("property_send_result", function (reply) {
            Toast.show(reply.content ? "فایل با موفقیت ارسال شد" : Sockets.messageText(reply, failedText))
        })
        Sockets.send("property_send", L.sendRequest(file, Account.userId(), Account.agentId(), agents))
    }

    Component {
        id: datePicker

        ArchiveDate {
            onClosed: destroy()
        }
    }
}
