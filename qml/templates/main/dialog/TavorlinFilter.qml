import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "../home.js" as Home

// One filter of a new board: the bounds of one input, a date window or a district's name.
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

    function initial(options) {
        if (!options)
            return
        if (options.candidate !== undefined) candidate = options.candidate
        if (options.trade !== undefined) trade = options.trade
    }

    function dateBound(text) {
        var t = String(text).trim()
        if (t === "")
            return ""
        var j = Home.parseJalali(t)
        if (!j)
            return null
        return String(Dates.jalali_to_timestamp(j[0], j[1], j[2]))
    }

    function jalali(ms) {
        return Dates.timestamp_to_jdate(ms, false)
    }

    function submit() {
        try {
            var v1 = Consts.fixNumbers(first.text).trim()
            var v2 = Consts.fixNumbers(second.text).trim()
            if (isDistrict) {
                district(v1)
                return
            }
            if (v1 === "" && v2 === "") {
                Toast.show("لطفا مقدار فیلتر را وارد نمایید.")
                return
            }
            if (isDate) {
                v1 = dateBound(v1)
                v2 = dateBound(v2)
                if (v1 === null || v2 === null) {
                    Toast.show("تاریخ را به شکل ۱۴۰۲/۰۵/۰۱ وارد نمایید.")
                    return
                }
            }
            var message = Home.rangeError(isDate ? {"filter_type": 2} : input, v1, v2)
            if (message !== "") {
                Toast.show(message)
                return
            }
            var hint = Consts.getHint(input, trade) || candidate.title
            var title = Home.filterTitle(input, v1, isRange ? v2 : "", jalali, hint)
            accepted(Home.inputFilter(input, v1, isRange ? v2 : "", title))
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
        if (found && found.error === undefined && Home.present(found._id) && found.title === title) {
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

        Text {
            width: parent ? parent.width : 0
            text: Home.texts.filterTitle
            font.family: Fonts.app
            font.pointSize: Consts.largeFont
            font.bold: true
            horizontalAlignment: Text.AlignHCenter
        }

        Text {
            width: parent ? parent.width : 0
            text: dialog.candidate.title || ""
            textFormat: Text.PlainText
            font.family: Fonts.app
            horizontalAlignment: Text.AlignHCenter
        }

        TextField {
            id: first
            objectName: "filterValue1"
            width: parent ? parent.width : 0
            placeholderText: dialog.isDistrict ? "نام منطقه" : (dialog.isDate ? "از تاریخ (۱۴۰۲/۰۵/۰۱)"
                                                                            : (dialog.isRange ? "از" : "مقدار"))
            font.family: Fonts.app
        }

        TextField {
            id: second
            objectName: "filterValue2"
            visible: dialog.isRange && !dialog.isDistrict
            width: parent ? parent.width : 0
            placeholderText: dialog.isDate ? "تا تاریخ" : "تا"
            font.family: Fonts.app
        }

        Button {
            objectName: "filterSubmit"
            anchors.horizontalCenter: parent ? parent.horizontalCenter : undefined
            enabled: !dialog.sending
            text: "افزودن"
            font.family: Fonts.app
            onClicked: dialog.submit()
        }
    }
}
