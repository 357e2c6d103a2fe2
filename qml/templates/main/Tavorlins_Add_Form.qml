import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "home.js" as Home

// A new board: colour, trade, property, up to five filters, a name and, with agents, who sees it.
Flickable {
    id: form
    objectName: "tavorlinAddForm"

    property var shelf: ({})
    // Only the colour is chosen (a board's colour change).
    property bool colorMode: false
    property int color: 1
    property var trades: []
    property var properties: []
    property int trade: -1
    property int property: -1
    property var filters: []
    property var access: []
    property bool sending: false
    readonly property var candidates: trade > 0 && property > 0
                                      ? Home.filterCandidates(Database.getFormCards(trade, property), trade,
                                                              Home.usedKeys(filters))
                                      : []

    signal colorChosen(int color)
    signal tavorlinAdded(var board)

    contentHeight: column.implicitHeight + 40
    clip: true

    function load() {
        try {
            trades = Database.getTradeTypes()
        } catch (e) {
            Toast.error(e, "Tavorlins_Add_Form.load")
        }
    }

    function chooseTrade(key) {
        trade = Number(key)
        property = -1
        filters = []
        properties = Database.getPropertyTypes(trade)
    }

    function chooseProperty(key) {
        property = Number(key)
        filters = []
    }

    function addFilter(item) {
        if (filters.length >= Home.maxFilters) {
            Toast.show(Home.texts.tooManyFilters)
            return
        }
        var list = filters.slice()
        list.push(item)
        filters = list
    }

    function removeFilter(index) {
        var list = filters.slice()
        list.splice(index, 1)
        filters = list
    }

    function pick(candidate) {
        try {
            if (filters.length >= Home.maxFilters) {
                Toast.show(Home.texts.tooManyFilters)
                return null
            }
            var dialog = null
            if (candidate.kind === "input" || candidate.kind === "district") {
                dialog = Home.openDialog(Templates, "main/dialog/TavorlinFilter.qml", {"candidate": candidate, "trade": trade})
                if (dialog)
                    dialog.accepted.connect(addFilter)
            } else if (candidate.kind === "toggle") {
                dialog = pickFrom(candidate.title, candidate.toggles.map(function (t) {
                    return {"label": t.title, "value": Home.toggleFilter(t)}
                }))
            } else if (candidate.kind === "agent") {
                dialog = pickFrom(candidate.title, Database.getAgentList().map(function (a) {
                    return {"label": a.name_family, "value": Home.rowFilter("agent", a)}
                }))
            } else if (candidate.kind === "hashtag") {
                var take = function (list) {
                    Database.hashTagListReady.disconnect(take)
                    pickFrom(candidate.title, list.map(function (h) {
                        return {"label": h.title, "value": Home.rowFilter("hashtag", h)}
                    }))
                }
                Database.hashTagListReady.connect(take)
                Database.getHashTags()
            }
            return dialog
        } catch (e) {
            Toast.error(e, "pick")
            return null
        }
    }

    function pickFrom(title, rows) {
        var dialog = Home.openDialog(Templates, "main/dialog/PickList.qml", {"title": title, "rows": rows})
        if (dialog)
            dialog.picked.connect(addFilter)
        return dialog
    }

    function submit() {
        try {
            if (colorMode) {
                colorChosen(color)
                return
            }
            if (trade < 1 || property < 1) {
                Toast.show("لطفا نوع معامله و نوع ملک را انتخاب نمایید.")
                return
            }
            if (Number(Account.hasAgent()) > 0) {
                var ask = Home.openDialog(Templates, "main/dialog/TavorlinAgentAccess.qml", {"chooseOnly": true})
                if (ask)
                    ask.chosen.connect(function (ids) { send(ids, true) })
                return
            }
            send([], false)
        } catch (e) {
            Toast.error(e, "Tavorlins_Add_Form.submit")
        }
    }

    function send(accessIds, withAccess) {
        var db = Database
        var shelfId = shelf._id
        var content = Home.boardCreateContent({"trade": trade, "property": property, "name": nameField.text.trim(),
                                               "color": color, "filters": filters, "access": accessIds},
                                              Account.userId(), Account.agentId(), shelfId, withAccess)
        sending = Home.request(Sockets, Toast.show, "tavorlin_create", content, null, true, function (result, reply) {
            sending = false
            var ts = Number(reply.timestamp) || -1
            db.saveTavorlins([result], ts)
            var onShelf = Home.present(reply.content.shelf_id) ? String(reply.content.shelf_id) : String(shelfId)
            db.changeShelvesTavorlins(onShelf, [String(result._id)], [])
            form.tavorlinAdded(result)
        }, function () { sending = false })
    }

    Column {
        id: column
        width: form.width - 40
        x: 20
        y: 20
        spacing: 14
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        UTitle {
            heading: true
            title: "رنگ"
        }

        Flow {
            width: parent ? parent.width : 0
            spacing: 6
            Repeater {
                model: Defaults.tavorlins
                delegate: Rectangle {
                    objectName: "boardColor_" + modelData.color
                    width: 30
                    height: 30
                    radius: 15
                    color: Consts.tavorlin_header_color(Number(modelData.color))
                    border.width: form.color === Number(modelData.color) ? 3 : 1
                    border.color: form.color === Number(modelData.color) ? "#ffc107" : "#e0e0e0"
                    MouseArea {
                        anchors.fill: parent
                        onClicked: form.color = Number(modelData.color)
                    }
                }
            }
        }

        Column {
            visible: !form.colorMode
            width: parent ? parent.width : 0
            spacing: 14

            UTitle { heading: true; title: "نوع معامله" }
            Flow {
                width: parent ? parent.width : 0
                spacing: 6
                Repeater {
                    model: form.trades
                    delegate: Button {
                        objectName: "trade_" + modelData.key
                        text: modelData.title
                        font.family: Fonts.app
                        highlighted: form.trade === Number(modelData.key)
                        onClicked: form.chooseTrade(modelData.key)
                    }
                }
            }

            UTitle { heading: true; visible: form.trade > 0; title: "نوع ملک" }
            Flow {
                width: parent ? parent.width : 0
                spacing: 6
                Repeater {
                    model: form.properties
                    delegate: Button {
                        objectName: "property_" + modelData.key
                        text: modelData.title
                        font.family: Fonts.app
                        highlighted: form.property === Number(modelData.key)
                        onClicked: form.chooseProperty(modelData.key)
                    }
                }
            }

            UTitle {
                heading: true
                visible: form.candidates.length > 0
                title: "فیلتر ها (حداکثر ۵)"
            }
            Flow {
                width: parent ? parent.width : 0
                spacing: 6
                Repeater {
                    model: form.filters.length < 5 ? form.candidates : []
                    delegate: Button {
                        objectName: "candidate_" + index
                        text: modelData.title
                        font.family: Fonts.app
                        flat: true
                        onClicked: form.pick(modelData)
                    }
                }
            }

            Text {
                objectName: "filtersText"
                width: parent ? parent.width : 0
                text: Home.filtersText(form.filters)
                textFormat: Text.PlainText
                wrapMode: Text.WordWrap
                font.family: Fonts.app
                color: "#1565c0"
            }

            Flow {
                width: parent ? parent.width : 0
                spacing: 6
                Repeater {
                    model: form.filters
                    delegate: Button {
                        text: "حذف " + (index + 1)
                        font.family: Fonts.app
                        flat: true
                        onClicked: form.removeFilter(index)
                    }
                }
            }

            TextField {
                id: nameField
                objectName: "boardName"
                width: parent ? parent.width : 0
                placeholderText: "نام Tavorlin (اختیاری)"
                font.family: Fonts.app
            }
        }

        UButtons {
            Button {
                objectName: "boardSubmit"
                enabled: !form.sending
                text: "ثبت"
                font.family: Fonts.app
                onClicked: form.submit()
            }
        }
    }

    Component.onCompleted: load()
}
