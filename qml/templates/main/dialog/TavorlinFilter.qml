import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import com.forms 1.0
import "../home.js" as Home

// One filter of a new board: the bounds of one input or a date window, edited by the board filter
// kind of the data-driven form, or a district's name.
Popup {
    id: dialog
    objectName: "tavorlinFilter"

    // {kind, itemKey, title, input, isDate}
    property var candidate: ({"input": {}})
    readonly property var input: candidate.input || {}
    readonly property bool isDate: candidate.isDate === true
    readonly property bool isDistrict: candidate.kind === "district"
    readonly property bool isRange: isDate || Number(input.filter_type) === 2
    property int trade: 1
    property bool sending: false

    signal accepted(var filter)

    readonly property int boardFilterKind: 2

    function initial(options) {
        if (!options)
            return
        if (options.candidate !== undefined) candidate = options.candidate
        if (options.trade !== undefined) trade = options.trade
        if (!isDistrict) {
            formView.tradeType = trade
            formView.settingsCards = [{"id": -1, "title": "", "inputs": [input], "toggles": [], "single_select": 0,
                                       "trade_type": trade, "property_type": -1}]
            formView.init()
        }
    }

    // The bounds the form holds for the input, as texts.
    function bounds() {
        var key = isDate ? "date" : Home.inputKey(input)
        var values = formView.filterValues || []
        for (var i = 0; i < values.length; ++i) {
            if (values[i] && values[i].key === key && values[i].value)
                return [Home.plain(values[i].value.value_1), Home.plain(values[i].value.value_2)]
        }
        return ["", ""]
    }

    function jalali(ms) {
        return Dates.timestamp_to_jdate(ms, false)
    }

    function submit() {
        try {
            if (isDistrict) {
                district(Consts.fixNumbers(districtField.text).trim())
                return
            }
            var b = bounds()
            var v1 = Consts.fixNumbers(b[0]).trim()
            var v2 = isRange ? Consts.fixNumbers(b[1]).trim() : ""
            if (v1 === "" && v2 === "") {
                Toast.show("لطفا مقدار فیلتر را وارد نمایید.")
                return
            }
            var message = Home.rangeError(isDate ? {"filter_type": 2} : input, v1, v2)
            if (message !== "") {
                Toast.show(message)
                return
            }
            var hint = isDate ? candidate.title : (Consts.getHint(input, trade) || candidate.title)
            accepted(Home.inputFilter(input, v1, v2, Home.filterTitle(input, v1, v2, jalali, hint)))
            close()
        } catch (e) {
            Toast.error(e, "TavorlinFilter.submit")
        }
    }

    // A district is named by its title; one that does not exist yet is created on the server first.
    function district(title) {
        if (title === "") {
            Toast.show("لطفا نام منطقه را وارد نمایید.")
            return
        }
        var found = Database.findDistrict(title)
        if (found && found.error === undefined && Home.present(found._id) && Consts.sameText(found.title, title)) {
            accepted(Home.districtFilter(found._id, "نام منطقه " + title))
            close()
            return
        }
        var db = Database
        sending = Home.request(Sockets, Toast.show, "district_create",
                     {"user_id": Account.userId(), "agent_id": Account.agentId(), "title": title}, null, true,
                     function (result, reply) {
            sending = false
            db.saveDistricts([result], Number(reply.timestamp) || -1)
            dialog.accepted(Home.districtFilter(result._id, "نام منطقه " + title))
            dialog.close()
        }, function () { sending = false })
    }

    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: 400
    padding: 20

    contentItem: Column {
        spacing: 12
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        UTitle {
            title: Home.texts.filterTitle
        }

        UTitle {
            objectName: "filterCandidate"
            heading: true
            title: dialog.candidate.title || ""
        }

        FormView {
            id: formView
            visible: !dialog.isDistrict
            width: parent ? parent.width : 0
            formType: dialog.boardFilterKind
        }

        TextField {
            id: districtField
            objectName: "districtName"
            visible: dialog.isDistrict
            width: parent ? parent.width : 0
            placeholderText: "نام منطقه"
            font.family: Fonts.app
        }

        UButtons {
            Button {
                objectName: "filterSubmit"
                enabled: !dialog.sending
                text: "افزودن"
                font.family: Fonts.app
                onClicked: dialog.submit()
            }
        }
    }
}
