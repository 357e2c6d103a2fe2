import QtQuick 2.15
import QtTest 1.2
import com 1.0
import com.forms 1.0

// The listing form over the shipped catalogue: the three stages, pre-filling an edit, the full
// price and the filter kinds.
TestCase {
    id: test
    name: "FormView"
    when: windowShown
    width: 800
    height: 600

    Component {
        id: formComponent
        FormView { width: 760 }
    }

    function initTestCase() {
        if (Database.getFormCards(-1, -1).length === 0)
            verify(Database.initialDatabase())
    }

    function make(props) {
        var form = createTemporaryObject(formComponent, test, props || {})
        form.init()
        return form
    }

    function clickToggle(form, parentKey, key) {
        var item = findChild(form, "toggle_" + parentKey + "_" + key)
        verify(item, "toggle " + parentKey + " " + key)
        item.press()
    }

    function test_stages_of_a_sale_apartment() {
        var form = make({"formType": 0})
        compare(form.cardItems.length, 1)
        clickToggle(form, "trade", 1)
        compare(form.cardItems.length, 2)
        compare(form.submitData, {"trade_id": 1})
        clickToggle(form, "property", 50)
        var expected = Database.getFormCards(1, 50).length
        compare(form.cardItems.length, 2 + expected)
        compare(form.submitData, {"trade_id": 1, "property_id": 50})
        // A second trade drops every card after the trade card.
        clickToggle(form, "trade", 2)
        compare(form.cardItems.length, 2)
        compare(form.submitData, {"trade_id": 2})
    }

    function typeInto(form, key, parentKey, text) {
        var input = form.findInputByKeys(key, parentKey)
        verify(input, parentKey + "." + key)
        var box = findChild(input, "value_1")
        box.forceActiveFocus()
        box.selectAll()
        keyClick(Qt.Key_Delete)
        for (var i = 0; i < text.length; ++i)
            keyClick(text.charAt(i))
        return input
    }

    function saleApartment() {
        var form = make({"formType": 0})
        clickToggle(form, "trade", 1)
        clickToggle(form, "property", 50)
        return form
    }

    function test_full_price_and_emptied_groups() {
        var form = saleApartment()
        typeInto(form, "price_1", "price", "25")
        typeInto(form, "home", "meter", "12")
        compare(form.findInputByKeys("price_2", "price").text, "300")
        compare(form.submitData.price, {"price_1": "25", "price_2": "300"})
        // A size of 0 leaves the full price alone.
        typeInto(form, "home", "meter", "0")
        compare(form.submitData.price.price_2, "300")
        // Thousands separators on screen, none in the data.
        typeInto(form, "price_1", "price", "1250000")
        compare(form.findInputByKeys("price_1", "price").text, "1,250,000")
        compare(form.submitData.price.price_1, "1250000")
        // Digits only where the type says so.
        typeInto(form, "room", "info", "3a")
        compare(form.submitData.info.room, "3")
        typeInto(form, "room", "info", "")
        typeInto(form, "build_year", "info", "")
        verify(form.submitData.info === undefined || form.submitData.info.room === undefined)
        typeInto(form, "name_family", "customer", "x")
        typeInto(form, "name_family", "customer", "")
        verify(!form.submitData.hasOwnProperty("customer"))
        // A single choice in a single-choice card: the trade card keeps one.
        var trade = findChild(form, "toggle_trade_1")
        trade.press()
        verify(trade.checked)
    }

    function test_edit_prefills_an_archived_sale() {
        var file = {"_id": "f9", "trade_ref": 9, "property_ref": 50, "info": {"room": 3, "address": "آزادی"},
                    "meter": {"home": 120}, "price": {"price_1": 25000000, "price_2": 0}, "kitchen": "400,",
                    "joints": "250,252,", "customer": {"name_family": "سارا", "mobile_1": "0912"},
                    "_guard": {"name_family": "نگهبان"}, "district": [{"_id": "d1", "title": "ونک"}]}
        var form = make({"formType": 0, "editFile": file})
        verify(findChild(form, "toggle_trade_1").checked)
        verify(findChild(form, "toggle_property_50").checked)
        compare(form.submitData.trade_id, 1)
        compare(form.submitData.info, {"room": "3", "address": "آزادی"})
        compare(form.submitData.meter, {"home": "120"})
        compare(form.submitData.price, {"price_1": "25000000"})
        compare(form.findInputByKeys("price_1", "price").text, "25,000,000")
        compare(form.submitData.kitchen, [400])
        compare(form.submitData.joints, [250, 252])
        verify(findChild(form, "toggle_joints_252").checked)
        verify(!findChild(form, "toggle_joints_251").checked)
        compare(form.submitData.customer, {"name_family": "سارا", "mobile_1": "0912"})
        compare(form.submitData.guard, {"name_family": "نگهبان"})
        compare(form.submitData.district, {"title": "ونک"})
    }

    // Another type chosen while editing fills again what the file has for the new type's inputs,
    // toggles (attached ones too) and stepper, and leaves out what has no place there.
    function test_type_change_data() {
        return [{"tag": "villa", "click": ["property", 51], "want": [1, 51, "120", "300", "3", [701, 706], "900", "2"]},
                {"tag": "rent", "click": ["trade", 2], "want": [2, 50, "120", undefined, "3", [701], undefined, "2"]}]
    }

    function test_type_change(row) {
        var form = make({"formType": 0, "editFile": {"_id": "f9", "trade_ref": 9, "property_ref": 50, "condition": "701,706,",
            "info": {"room": 3, "num_parking": 2}, "meter": {"home": 120, "area": 300}, "price": {"loan": 900}}})
        clickToggle(form, row.click[0], row.click[1])
        var d = form.submitData
        compare([d.trade_id, d.property_id, d.meter.home, d.meter.area, d.info.room, d.condition, (d.price || {}).loan,
                 d.info.num_parking], row.want)
        compare([form.findInputByKeys("room", "info").text, findChild(form, "toggle_condition_701").checked,
                 form.cardItems.some(function (c) { return c.stepperValue === 2 })], ["3", true, true])
    }

    function test_request_form() {
        var form = make({"formType": 1})
        clickToggle(form, "trade", 7)
        clickToggle(form, "property", 53)
        compare(form.findInputByKeys("price_2", "price").hint, "سقف مبلغ مشارکت")
        // Requests choose their districts in the chooser.
        compare(form.cardItems[2].card.districts, true)
        verify(form.cardItems[1].card.districts === undefined)
    }

    function test_filter_kinds() {
        var filters = [{"key": "kitchen", "value": {"value_1": "400", "value_2": ""}, "default": true},
                       {"key": "meter.home", "value": {"value_1": "80", "value_2": "120"}}]
        var form = make({"formType": 3, "tradeType": 9, "propertyType": 50, "filterValues": filters})
        compare(form.tradeType, 1)
        var kitchen = findChild(form, "toggle_kitchen_400")
        verify(kitchen.checked)
        verify(kitchen.locked)
        verify(form.isDefaultFilter("kitchen", 400, true))
        verify(!form.isDefaultFilter("meter", "home", false))
        var home = form.findInputByKeys("home", "meter")
        compare([home.text, home.text2], ["80", "120"])
        clickToggle(form, "kitchen", 401)
        compare(form.findFilterValue("kitchen", 401, true).value.value_1, "401")
        verify(form.findInputByKeys("title", "district") === null)

        // The board filter kind: one card alone, single choice.
        var card = Database.getFormCards(1, 50).filter(function (c) { return c.title === "آشپزخانه" })[0]
        var board = make({"formType": 2, "settingsCards": [card]})
        compare(board.cardItems.length, 1)
        clickToggle(board, "kitchen", 400)
        clickToggle(board, "kitchen", 401)
        compare(board.filterValues, [{"key": "kitchen", "value": {"value_1": "401", "value_2": ""}}])
        // Or one input alone, a range when its filter type says so.
        var size = make({"formType": 2, "settingsCards": [{"title": "", "inputs": [Database.getFieldByKeys("home", "meter", false)]}]})
        typeInto(size, "home", "meter", "80")
        compare(size.filterValues, [{"key": "meter.home", "value": {"value_1": "80", "value_2": ""}}])
    }

    function test_settings_kind() {
        var form = make({"formType": 4})
        verify(form.settingsCards.length > 0)
        compare(form.searchInCards("آسانسور").length > 0, true)
        compare(form.searchInCards("نیست در کاتالوگ").length, 0)
    }
}
