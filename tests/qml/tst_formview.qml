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
}
