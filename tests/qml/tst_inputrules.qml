import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.2
import com 1.0
import com.forms 1.0
import "qrc:/templates/contact/contacts.js" as Contacts
import "qrc:/templates/setting/tagsettings.js" as Tags
import "qrc:/templates/setting/settings.js" as Logic
import "qrc:/templates/main/home.js" as Home
import "qrc:/templates/files/list/list.js" as L
import "qrc:/com/forms/forms.js" as Forms

// What agents type: Persian and Arabic-Indic digits count as ASCII wherever text is searched or
// compared, and the input checks refuse what the server would store wrong.
TestCase {
    id: rules
    name: "InputRules"
    when: windowShown
    // As the window lays its screens out.
    LayoutMirroring.enabled: true
    LayoutMirroring.childrenInherit: true

    // Stored as another device or the server may have stored them: in Persian digits, or in ASCII.
    function initTestCase() {
        Database.saveContacts([{"_id": "digits-a", "address": "پلاک ۱۲", "mobile_1": "۰۹۱۲۱۱۱۲۲۳۳"},
                               {"_id": "digits-b", "address": "خیابان 34", "mobile_1": "0935"}])
        Database.saveFiles([{"_id": "digits-f", "user_ref": "digits-owner", "info": {"address": "پلاک ۱۲"}}])
    }

    SignalSpy { id: contactsRead; target: Database; signalName: "contactListReady" }
    Component { id: formInput; FormInput {} }
    Component { id: clipboard; TextField {} }

    function contactsFound(keyword) {
        contactsRead.clear()
        Database.getContacts(-1, -1, keyword)
        contactsRead.wait(5000)
        return contactsRead.signalArguments[0][0].map(function (c) { return c._id })
    }

    // Pastes text into a number input holding before: shown | handed on | shown from the server's
    // number (detail, printed card, Excel), and the refusal when there is one.
    function pasted(input, before, text) {
        var toasts = Toast.children.length
        var field = createTemporaryObject(formInput, rules, {"inputItem": input})
        field.setValue(before, 1)
        var source = createTemporaryObject(clipboard, rules, {"text": text})
        source.selectAll()
        source.copy()
        var box = findChild(field, "value_1")
        box.select(box.length - (text ? 0 : 1), box.length)
        text ? box.paste() : box.cut() // without text, the last character is cut
        var said = Toast.children.length > toasts ? Toast.children[Toast.children.length - 1].text : ""
        return [box.text, field.value, input.currency ? Consts.currency(Number(field.value)) : Number(field.value)].join(" | ")
                + (said === Forms.TOO_LONG ? " " + said : "")
    }

    // Where a number stands in its box.
    function side(input, digits) {
        var box = findChild(createTemporaryObject(formInput, rules, {"inputItem": input, "width": 300}), "value_1")
        box.text = digits
        return box.positionToRectangle(0).x > box.width / 2 ? "right" : "left"
    }

    function contact(fields) {
        var form = {"name_family": "رضا", "mobile_1": "09121234567", "mobile_2": ""}
        for (var k in fields)
            form[k] = fields[k]
        return Contacts.editorContent(form, "m1", undefined)
    }

    function picked(rows, text) {
        var c = Qt.createComponent("qrc:/templates/main/dialog/PickList.qml")
        var d = c.createObject(null, {"rows": rows})
        findChild(d.contentItem, "pickSearch").text = text
        var shown = d.shown.map(function (r) { return r.value })
        d.destroy()
        return shown
    }

    // A date's boxes, in a Persian locale, after a year and a month were chosen and day 31 typed.
    function dateBoxes(path, names, year, month) {
        var d = createTemporaryObject(Qt.createComponent("qrc:/templates/" + path), rules, {"locale": Qt.locale("fa_IR")})
        var boxes = names.map(function (n) { return findChild(d.contentItem, n) })
        boxes.forEach(function (b, i) { b.value = [year, month, 31][i] })
        return boxes.map(function (b) { return b.displayText }).join("/")
    }

    function test_rules_data() {
        var tags = [{"_id": "h1", "title": "برچسب 1"}]
        var price = {"key": "price_1", "parent_key": "price", "input_type": 2, "max_length": 17, "currency": 1}
        var area = {"key": "area", "parent_key": "meter", "input_type": 3, "max_length": 9, "currency": 0}
        return [
            {"tag": "contact stored in Persian digits, found by ASCII", "got": function () { return contactsFound("12") }, "want": ["digits-a"]},
            {"tag": "contact stored in ASCII, found by Persian", "got": function () { return contactsFound("۳۴") }, "want": ["digits-b"]},
            {"tag": "mobile stored in Persian digits is the typed one's contact", "got": function () { return Database.getContact("", "09121112233")._id }, "want": "digits-a"},
            {"tag": "file stored in Persian digits, found by ASCII", "got": function () {
                return Database.getFilesCount(-1, -1, [{"key": "quick_search", "value": {"value_1": "12"}}], false, "digits-owner") }, "want": 1},
            {"tag": "price with the Arabic thousands separator", "got": function () { return pasted(price, "", "۵٬۰۰۰٬۰۰۰٬۰۰۰") }, "want": "5,000,000,000 | 5000000000 | 5,000,000,000"},
            {"tag": "size with the Arabic decimal point", "got": function () { return pasted(area, "", "۱۲۰٫۵") }, "want": "۱۲۰٫۵ | 120.5 | 120.5"},
            {"tag": "24 digits refused", "got": function () { return pasted(price, "12", "۹۹۹۹۹۹۹۹۹۹۹۹۹۹۹۹۹۹۹۹۹۹۹۹") }, "want": "12 | 12 | 12 " + Forms.TOO_LONG},
            {"tag": "16 digits refused in a price the catalogue allows 17", "got": function () { return pasted(price, "", "1234567890123456") }, "want": " |  | 0 " + Forms.TOO_LONG},
            {"tag": "an over-long price edited down", "got": function () { return pasted(price, "12345678901234567", "") }, "want": "1,234,567,890,123,456 | 1234567890123456 | 1,234,567,890,123,456"},
            {"tag": "ASCII digits at the right", "got": function () { return side(price, "123") }, "want": "right"},
            {"tag": "Persian digits at the right", "got": function () { return side(area, "۱۲۰") }, "want": "right"},
            {"tag": "a digit past the size's limit refused", "got": function () { return pasted(area, "123456789", "1") }, "want": "123456789 | 123456789 | 123456789 " + Forms.TOO_LONG},
            {"tag": "requests leave with ASCII digits", "got": function () { return Sockets.asciiDigits("کد ۱۲-٣٤") }, "want": "کد 12-34"},
            {"tag": "phone book hit by Persian digits", "got": function () {
                return Contacts.answers([{"type": [18], "name_family": "x", "mobile_1": "09121002000"}], 18, "۱۰۰۲") }, "want": true},
            {"tag": "pick list search", "got": function () {
                return picked([{"label": "برچسب 12", "value": 1}, {"label": "برچسب 3", "value": 2}], "۱۲") }, "want": [1]},
            {"tag": "quick search keyword", "got": function () {
                return Home.quickSearchOptions("پلاک ۱۲۳").filters[0].value.value_1 }, "want": "پلاک 123"},
            {"tag": "list keyword", "got": function () { return L.makeOptions({"keyword": "٤٥"}).keyword }, "want": "45"},
            {"tag": "completion", "got": function () {
                return Forms.completions([{"name_family": "a", "mobile_1": "0912555"}], "۵۵۵").length }, "want": 1},
            {"tag": "duplicate hashtag", "got": function () { return Tags.isDuplicate(tags, "برچسب ۱") }, "want": true},
            {"tag": "renamed row is no duplicate", "got": function () { return Tags.isDuplicate(tags, "برچسب ١", "h1") }, "want": false},
            {"tag": "agent number in Persian digits", "got": function () { return Logic.agentNumber("۰۹۱۲۳۴۵۶۷۸۹").number }, "want": "09123456789"},
            {"tag": "agent number of letters", "got": function () { return Logic.agentNumber("abc123").error }, "want": "شماره همراه صحیح را وارد کنید."},
            {"tag": "agent number too short", "got": function () { return Logic.agentNumber("0912345678").error }, "want": "شماره همراه صحیح را وارد کنید."},
            {"tag": "agent number not 09", "got": function () { return Logic.agentNumber("02112345678").error }, "want": "شماره همراه صحیح را وارد کنید."},
            {"tag": "contact mobile of letters", "got": function () { return contact({"mobile_1": "abcd"}).error }, "want": "شماره همراه صحیح را وارد کنید."},
            {"tag": "contact second mobile checked when filled", "got": function () { return contact({"mobile_2": "12a"}).error }, "want": "شماره همراه صحیح را وارد کنید."},
            {"tag": "contact mobile over 15 digits", "got": function () { return contact({"mobile_1": "0912345678901234"}).error }, "want": "شماره همراه صحیح را وارد کنید."},
            {"tag": "contact mobile sent in ASCII", "got": function () { return contact({"mobile_1": "۰۹۱۲۱"}).mobile_1 }, "want": "09121"},
            {"tag": "profile e-mail", "got": function () {
                return Logic.profileError({"name_family": "n", "info": {"email": "agency.example.com"}}, false) }, "want": "ایمیل وارد شده صحیح نیست"},
            {"tag": "profile without e-mail", "got": function () {
                return Logic.profileError({"name_family": "n", "info": {"email": ""}}, false) }, "want": ""},
            {"tag": "report date in Arabic-Indic digits", "got": function () { return Logic.parseJalali("١٤٠٣/٩/١٨") }, "want": {"year": 1403, "month": 9, "day": 18}},
            {"tag": "report date of letters", "got": function () { return Logic.parseJalali("14o3/9/18") }, "want": null},
            {"tag": "report day past the month", "got": function () { return Logic.parseJalali("1403/7/31") }, "want": null},
            {"tag": "report leap day", "got": function () { return Logic.parseJalali("1403/12/30", Dates.is_leap_year) }, "want": {"year": 1403, "month": 12, "day": 30}},
            {"tag": "report leap day in a common year", "got": function () { return Logic.parseJalali("1402/12/30", Dates.is_leap_year) }, "want": null},
            {"tag": "archive day in a common year's last month", "got": function () { return dateBoxes("files/list/ArchiveDate.qml", ["archiveYear", "archiveMonth", "archiveDay"], 1405, 12) }, "want": "۱۴۰۵/۱۲/۲۹"},
            {"tag": "archive day in a leap year's last month", "got": function () { return dateBoxes("files/list/ArchiveDate.qml", ["archiveYear", "archiveMonth", "archiveDay"], 1403, 12) }, "want": "۱۴۰۳/۱۲/۳۰"},
            {"tag": "note alarm day in the seventh month", "got": function () { return dateBoxes("note/NoteEditor.qml", ["note_year", "note_month", "note_day"], 1404, 7) }, "want": "۱۴۰۴/۷/۳۰"}
        ]
    }

    function test_rules(row) {
        compare(row.got(), row.want)
    }
}
