import QtQuick 2.15
import QtTest 1.2
import "qrc:/com/forms/forms.js" as Forms
import "qrc:/templates/files/file.js" as FileJs
import "qrc:/templates/files/dialog/hashtags.js" as Tags
import "qrc:/templates/setting/applicationSettings/settings.js" as SettingsJs

// The listing form's plain decisions: layout, hints, collected choices, the request content, the
// reply split, the hashtag choice and the settings objects.
TestCase {
    name: "FormLogic"

    function toggles(titles) {
        return titles.map(function (t, i) { return {"key": i + 1, "title": t, "parent_key": "x"} })
    }

    function test_layout() {
        var card = {"trade_type": 1, "property_type": 50, "single_select": 0}
        card.toggles = toggles(["یک", "دو", "سه", "چهار"])
        compare(Forms.toggleColumns(card), 4)
        // A 13-letter title breaks the row into rows of 3.
        card.toggles = toggles(["یک", "دو", "سه", "abcdefghijklm"])
        compare(Forms.toggleColumns(card), 3)
        // Short titles that together reach 30 letters, and five toggles, take rows of 3 too.
        card.toggles = toggles(["abcdefghij", "abcdefghij", "abcdefghij"])
        compare(Forms.toggleColumns(card), 3)
        card.toggles = toggles(["a", "b", "c", "d", "e"])
        compare(Forms.toggleColumns(card), 3)
        // The trade card stands in one row whatever its titles.
        compare(Forms.toggleColumns({"trade_type": -1, "property_type": -1, "toggles": toggles(["a", "b", "c", "d", "e"])}), 5)
        verify(Forms.isSingleChoice({"trade_type": 1, "property_type": -1, "single_select": 0}, Forms.FILE))
        verify(!Forms.isSingleChoice(card, Forms.FILE))
        verify(Forms.isSingleChoice(card, Forms.BOARD_FILTER))
        var withPanel = {"attachedInputs": [{}, {}, {}]}
        verify(Forms.showsAttachments(Forms.FILE, withPanel))
        verify(!Forms.showsAttachments(Forms.REQUEST, withPanel))
        verify(!Forms.attachedInputsInRow(withPanel))
    }

    function test_hints_and_titles() {
        var price2 = {"parent_key": "price", "key": "price_2", "title": "قیمت کل", "request_title": "حداکثر قیمت"}
        compare(Forms.inputHint(price2, Forms.REQUEST, 7), "سقف مبلغ مشارکت")
        compare(Forms.inputHint(price2, Forms.REQUEST, 15), "سقف مبلغ مشارکت")
        compare(Forms.inputHint(price2, Forms.REQUEST, 6), "سقف مبلغ اجاره")
        compare(Forms.inputHint(price2, Forms.FILE, 10), "مبلغ اجاره")
        compare(Forms.inputHint(price2, Forms.FILE, 1), "قیمت کل")
        compare(Forms.inputHint(price2, Forms.REQUEST, 5), "حداکثر قیمت")
        var toggle = {"title": "آسانسور", "request_title": "متقاضی آسانسور"}
        compare(Forms.toggleTitle(toggle, Forms.REQUEST, 5), "آسانسور")
        compare(Forms.toggleTitle({"title": "نو", "request_title": "متقاضی نوساز"}, Forms.REQUEST, 5), "نوساز")
    }

    function test_collected_choices() {
        var data = {"trade_id": 1}
        Forms.setInput(data, "info", "room", "3")
        compare(data.info, {"room": "3"})
        // Emptying the only input of a group removes the group.
        Forms.setInput(data, "info", "room", "")
        verify(!data.hasOwnProperty("info"))
        Forms.setToggle(data, "kitchen", 401, true, false)
        Forms.setToggle(data, "kitchen", 400, true, false)
        compare(data.kitchen, [401, 400])
        Forms.setToggle(data, "kitchen", 402, true, true)
        compare(data.kitchen, [402])
        Forms.setToggle(data, "kitchen", 402, false, true)
        verify(!data.hasOwnProperty("kitchen"))
        // Keys match whole: 3 is not in "13,".
        verify(Forms.fileHasToggle({"wc": "13,450,"}, "wc", 450))
        verify(!Forms.fileHasToggle({"wc": "13,"}, "wc", 3))
        compare(Forms.displayValue({"currency": true}, "1234567"), "1,234,567")
        compare(Forms.plainValue("۱,۲۳۴"), "1234")
        compare(Forms.plainValue("۱,۲۳۴", {"input_type": 2}), "1234")
        compare(Forms.plainValue("12,500", {"input_type": 1, "currency": true}), "12500")
        compare(Forms.plainValue("کوچه ۵, پلاک 7", {"input_type": 1}), "کوچه 5, پلاک 7")
    }

    function test_full_price() {
        compare(Forms.fullPrice(1, 50, {"price": {"price_1": "25"}, "meter": {"home": "12"}}), 300)
        compare(Forms.fullPrice(1, 50, {"price": {"price_1": "25"}, "meter": {"home": "0"}}), null)
        // Land is sized by its area, not its building.
        compare(Forms.fullPrice(1, 53, {"price": {"price_1": "10"}, "meter": {"home": "12", "area": "7"}}), 70)
        compare(Forms.fullPrice(2, 50, {"price": {"price_1": "25"}, "meter": {"home": "12"}}), null)
        compare(Forms.fullPrice(1, 50, {"price": {"price_1": "2.5"}, "meter": {"home": "3"}}), 8)
    }

    function test_filter_items() {
        var filters = []
        Forms.setFilterRange(filters, "meter.home", 1, "80")
        Forms.setFilterRange(filters, "meter.home", 2, "120")
        compare(filters, [{"key": "meter.home", "value": {"value_1": "80", "value_2": "120"}}])
        Forms.setFilterRange(filters, "meter.home", 1, "")
        Forms.setFilterRange(filters, "meter.home", 2, "")
        compare(filters, [])
        Forms.setFilterToggle(filters, "kitchen", 400, true, false)
        Forms.setFilterToggle(filters, "kitchen", 401, true, false)
        Forms.setFilterToggle(filters, "kitchen", 400, false, false)
        compare(filters, [{"key": "kitchen", "value": {"value_1": "401", "value_2": ""}}])
        Forms.setFilterDistricts(filters, [{"_id": "d1"}, {"_id": "d2"}])
        compare(filters[1].value.value_1, "#,#,#,#d1#,#,#,#d2")
        Forms.setFilterDistricts(filters, [])
        compare(filters.length, 1)
        verify(Forms.filterValue(filters, "kitchen", 401, true) !== null)
        var cards = Forms.searchCards([{"id": 4, "inputs": [{"parent_key": "district", "key": "title", "filter": true},
                                                            {"parent_key": "meter", "key": "home", "filter": true},
                                                            {"parent_key": "info", "key": "sahm", "filter": false}]},
                                       {"id": 5, "title": "جهت", "toggles": [{"key": 110}]},
                                       {"id": 6, "title": "پارکینگ", "toggles": []}], [{"_id": "h1", "title": "ویژه"}])
        compare(cards.length, 3)
        compare(cards[0].inputs.map(function (i) { return i.parent_key }), ["date", "meter"])
        compare(cards[2].toggles[0].parent_key, "hashtag_ref")
        compare(cards[2].toggles[0].key, "h1")
        var changes = Forms.districtChanges([{"_id": "a"}, {"_id": "b"}], [{"_id": "b"}, {"_id": "c"}])
        compare(changes, {"removed": [{"_id": "a"}], "added": [{"_id": "c"}]})
        compare(Forms.applyDistrictChanges([{"_id": "a"}, {"_id": "b"}], changes), [{"_id": "b"}, {"_id": "c"}])
    }

    function test_customer_checks() {
        compare(FileJs.customerMessage({"trade_id": 1}), "لطفا نام و شماره همراه مالک را وارد نمایید")
        compare(FileJs.customerMessage({"trade_id": 5, "customer": {"mobile_1": "0912"}}), "لطفا نام متقاضی را وارد نمایید")
        compare(FileJs.customerMessage({"trade_id": 1, "customer": {"name_family": "x"}}), "لطفا شماره همراه مالک را وارد نمایید")
        compare(FileJs.customerMessage({"trade_id": 1, "customer": {"name_family": "x", "mobile_1": "1"}}), "")
        // An archived sale asks for its owner.
        compare(FileJs.customerRole(9), "مالک")
        compare(FileJs.customerRole(13), "متقاضی")
        compare(FileJs.sentTrade(1, true, true), 9)
        compare(FileJs.sentTrade(9, false, false), 1)
        compare(FileJs.sentTrade(1, false, true), 9)
    }

    function params() {
        return {
            "formType": 0, "archive": false, "registerDate": 1700000000000, "description": "نورگیر",
            "location": {"lat": 35.7, "lng": 51.4},
            "submitData": {"trade_id": 1, "property_id": 50, "info": {"address": "خیابان <a>"},
                           "customer": {"name_family": "<b>علی</b>", "mobile_1": "0912"},
                           "guard": {"name_family": "نگهبان"}, "district": {"title": "ونک"}},
            "selectedDistricts": [{"_id": "d9", "title": "ونک"}],
            "chosenContact": {"_id": "c7", "mobile_1": "0912"},
            "hashtags": [{"_id": "h1", "title": "ویژه"}, {"title": "نو"}],
            "account": {"_id": "m1", "name_family": "مدیر & شرکا"}, "isManager": true, "userId": "m1",
            "agentId": undefined, "chosenAgentId": "", "mediaLinks": [], "isPrivate": true, "date": "1403/01/01 10:00"
        }
    }

    function test_request_content() {
        var c = FileJs.buildContent(params())
        compare(c.property_id, 50)
        compare(c.register_id, "m1")
        verify(!c.hasOwnProperty("file_id"))
        var d = c.data
        compare(d.trade_id, 1)
        compare(d.dates, {"register": 1700000000000})
        compare(d.info.desc, "نورگیر")
        compare(d.map, {"lat": 35.7, "lng": 51.4})
        compare(d.district, [{"title": "ونک", "id": "d9"}])
        compare(d.customer.customer_ref, {"name_family": "<b>علی</b>", "mobile_1": "0912", "type": 1, "id": "c7"})
        compare(d.customer.guard, {"name_family": "نگهبان", "type": 17, "address": "خیابان <a>"})
        verify(!d.hasOwnProperty("guard"))
        compare(d.hashtag, [{"title": "ویژه", "id": "h1"}, {"title": "نو"}])
        compare(d.user_id, "m1")
        compare(d.agent_id, "m1")
        compare(d.media_links, [])
        compare(d.status, {"is_private": true})
        compare(c.log, "در تاریخ <b>1403/01/01 10:00</b> به نام <b>&lt;b&gt;علی&lt;/b&gt;</b> به شماره <b>0912</b>"
                + " توسط <b>مدیر &amp; شرکا</b><font color=\"blue\"> ایجاد</font> شد.")

        // Editing an archived file with the box ticked: its own ids, its id, the trade plus 8 once.
        var p = params()
        p.editFile = {"_id": "f1", "trade_ref": 9, "user_id": "m1", "agent_id": "a2"}
        p.archive = true
        p.chosenAgentId = "a3"
        p.submitData.district = {"title": "تجریش"}
        p.formType = 1
        c = FileJs.buildContent(p)
        compare(c.file_id, "f1")
        compare(c.data.trade_id, 9)
        compare(c.data.agent_id, "a3")
        verify(c.log.indexOf("ویرایش") !== -1)
        // A request sends the chosen districts and no location.
        compare(c.data.district, [{"title": "ونک", "id": "d9"}])
        verify(!c.data.hasOwnProperty("map"))
        compare(FileJs.buildContent(null), {})
    }

    function test_reply_and_draft() {
        var parts = FileJs.splitReplyFile({"_id": "f1", "customer_ref": {"_id": "c1"}, "guard": {"_id": "g1"},
                                           "district": [{"_id": "d1"}], "hashtag": [{"_id": "h1"}, "h2"]})
        compare(parts.file, {"_id": "f1", "customer_ref": "c1", "guard": "g1", "district": ["d1"], "hashtag": ["h1", "h2"]})
        compare(parts.contacts.length, 2)
        compare(parts.districts, [{"_id": "d1"}])
        compare(parts.hashtags, [{"_id": "h1"}])
        var p = params()
        p.isManager = false
        p.agentId = "a1"
        p.userId = "m1"
        var draft = FileJs.draftFile(FileJs.buildContent(p), p)
        compare(draft.draft, true)
        compare(draft.trade_ref, 1)
        compare(draft.type, 50)
        compare(draft.user_ref, "m1")
        compare(draft.agent_ref, "a1")
        compare(draft.customer_ref, "c7")
        // A customer without a contact yet is kept as typed.
        var typed = FileJs.buildContent(p)
        typed.data.customer.customer_ref = {"name_family": "نو", "mobile_1": "0912", "type": 1}
        compare(FileJs.draftFile(typed, p).customer_ref, {"name_family": "نو", "mobile_1": "0912"})
        compare(draft.hashtag, [])
        compare(draft.district, [{"title": "ونک", "id": "d9"}])
        verify(!draft.hasOwnProperty("media_links"))
        compare(FileJs.channelUrl("", "chan", "x"), "")
        compare(FileJs.channelUrl("https://h.test/bot/send", "chan", "a b&c"),
                "https://h.test/bot/send?channel=chan&text=a%20b%26c")
    }

    function test_hashtag_choice() {
        var before = [{"_id": "h1", "title": "a"}, {"_id": "h2", "title": "b"}]
        var after = [{"_id": "h2", "title": "b"}, {"_id": "h3", "title": "c"}, {"title": "نو"}]
        var r = Tags.changes(before, after)
        compare(r.added, [{"_id": "h3", "title": "c"}, {"title": "نو"}])
        compare(r.removed, [{"_id": "h1", "title": "a"}])
        var sent = Tags.requestContent("m1", undefined, {"_id": "f1", "property_ref": 50}, Tags.changes(before, after.slice(0, 2)))
        compare([sent.file_id, sent.property_id, sent.hashtag_add, sent.hashtag_remove], ["f1", 50, ["h3"], ["h1"]])
        compare(Tags.addTitle(before, " a ").list.length, 2)
        compare(Tags.addTitle(before, "").tag, null)
    }

    function test_settings_objects() {
        var fonts = {"xSmall": 8, "small": 12, "normal": 14, "large": 16, "xLarge": 18, "xxLarge": 20}
        var t = SettingsJs.fileTemplate(3, 4, 25, false, fonts)
        compare(t.font_title, "خیلی بزرگ")
        compare([t.font_title_size, t.font_value_size], [18, 20])
        compare(t.back_color, "#fbe9e7")
        compare(t.corner_radius, 20)
        t = SettingsJs.fileTemplate(0, 0, 0, true, fonts)
        compare([t.font_title_size, t.font_value_size], [8, 12])
        compare(t.corner_radius, 1)
        compare(SettingsJs.currentTemplate(undefined).back_color, "#bbdefb")
        var content = SettingsJs.formSettingContent("m1", undefined, [{"key": 12, "parent_key": "wc", "title": "x"}])
        compare(JSON.parse(content.setting.value), [{"key": 12, "parent_key": "wc"}])
        compare(SettingsJs.formSettingOf({"result": {"setting": {"form": content.setting.value}}}), [{"key": 12, "parent_key": "wc"}])
        compare(SettingsJs.formSettingOf({}), null)
        var list = Forms.setInvisible([], {"key": 12, "parent_key": "wc"}, true)
        list = Forms.setInvisible(list, {"key": 12, "parent_key": "wc"}, true)
        compare(list.length, 1)
        compare(Forms.setInvisible(list, {"key": 12}, false), [])
        compare(Forms.settingsCardsMatching([{"toggles": [{"title": "آسانسور"}]}, {"toggles": [{"title": "وان"}]}], "وان").length, 1)
    }
}
