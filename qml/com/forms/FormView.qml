import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "forms.js" as Forms

// The data-driven form: draws the catalogue's cards for one of five kinds (file, request, board
// filter, search filter, settings) and collects the choices in submitData or filterValues.
Item {
    id: formView

    property int formType: Forms.FILE
    property int tradeType: -1
    property int propertyType: -1
    property int initialValue: Forms.initialValueOf(formType)
    // The file JSON when editing, else null.
    property var editFile: null
    property var submitData: ({})
    // Filter items ({key, value: {value_1, value_2}}) of the filter kinds.
    property var filterValues: []
    // The settings kind's cards; the board filter kind shows the cards given here.
    property var settingsCards: []
    property var inVisibleToggles: []
    property var selectedDistricts: []
    property var districtList: []
    // The phone book, offered on the customer's name and mobile.
    property var contactList: []
    property string searchText: ""
    // The contact inputs stay off the screen; editing, the editor sends the file's own values.
    property bool hidesContact: false

    property var inputItems: []
    property var dateItems: []
    property var cardItems: []
    property var cardsShown: []

    signal textChanged(var inputItem, var value, var lastInput)
    signal toggleSelected(var toggleItem, bool checked)
    signal formCompleted()
    signal inputCompleted(var inputItem, var entry)

    objectName: "formView"
    implicitHeight: formType === Forms.SETTINGS ? settingsColumn.implicitHeight : column.implicitHeight

    function init() {
        try {
            clearForm(0)
            submitData = {}
            if (formType === Forms.FILE || formType === Forms.REQUEST) {
                inVisibleToggles = Database.getInvisibleToggles() || []
                var first = Database.getFormCards(initialValue, initialValue)
                if (first.length > 0)
                    addCard(first[0])
                if (editFile) {
                    var live = Forms.liveTrade(editFile.trade_ref)
                    cardItems[0].setChecked(live, true)
                    selectTrade(live)
                }
            } else if (formType === Forms.SEARCH_FILTER) {
                tradeType = Forms.liveTrade(tradeType)
                var cards = Forms.searchCards(Database.getFormCards(tradeType, propertyType),
                                              Database.getHashTagFilters() || [])
                cards.forEach(function (c) { addCard(c) })
                prefillFilters()
                getDistricts()
                formCompleted()
            } else if (formType === Forms.BOARD_FILTER) {
                (settingsCards || []).forEach(function (c) { addCard(c) })
                prefillFilters()
                formCompleted()
            } else if (formType === Forms.SETTINGS) {
                if (!settingsCards || settingsCards.length === 0)
                    settingsCards = Database.getSettingsCards() || []
                inVisibleToggles = Database.getInvisibleToggles() || []
                formCompleted()
            }
        } catch (e) {
            Toast.error(e, "init")
        }
    }

    // Removes every card from index `from` on.
    function clearForm(from) {
        var keep = cardItems.slice(0, from)
        var drop = cardItems.slice(from)
        cardItems = keep
        cardsShown = cardsShown.slice(0, from)
        for (var i = 0; i < drop.length; ++i) {
            drop[i].visible = false
            drop[i].destroy()
        }
        // Their inputs go with them; the destroyed ones unregister later, so drop them now.
        var kept = function (item) {
            return drop.every(function (c) { return !isInside(item, c) })
        }
        inputItems = inputItems.filter(kept)
        dateItems = dateItems.filter(kept)
    }

    function isInside(item, ancestor) {
        for (var p = item; p; p = p.parent)
            if (p === ancestor)
                return true
        return false
    }

    function addCard(card) {
        var item = cardComponent.createObject(column, {
            "card": card, "form": formView, "formType": formType, "tradeType": tradeType,
            "completionList": Qt.binding(function () { return formView.districtList }),
            "contactList": Qt.binding(function () { return formView.contactList })
        })
        cardItems = cardItems.concat([item])
        cardsShown = cardsShown.concat([card])
        return item
    }

    function registerInput(item) {
        if (inputItems.indexOf(item) === -1)
            inputItems.push(item)
    }

    function unregisterInput(item) {
        var at = inputItems.indexOf(item)
        if (at !== -1)
            inputItems.splice(at, 1)
    }

    function registerDate(item) {
        dateItems.push(item)
    }

    function isHidden(input) {
        return hidesContact && Forms.isContactInput(input)
    }

    function findInputByKeys(key, parentKey) {
        for (var i = inputItems.length - 1; i >= 0; --i) {
            var it = inputItems[i]
            if (it && it.inputItem && it.inputItem.key === key && it.inputItem.parent_key === parentKey)
                return it
        }
        return null
    }

    function selectTrade(t) {
        try {
            tradeType = t
            propertyType = -1
            submitData = {"trade_id": t}
            clearForm(1)
            var cards = Database.getFormCards(t, initialValue)
            if (cards.length === 0)
                return
            var item = addCard(cards[0])
            // Editing, the file's property type stays chosen under any trade that offers it.
            var p = editFile ? Number(editFile.property_ref) : -1
            if (Forms.offersToggle(cards[0], p)) {
                item.setChecked(p, true)
                selectProperty(p)
            }
        } catch (e) {
            Toast.error(e, "selectTrade")
        }
    }

    function selectProperty(p) {
        try {
            propertyType = p
            submitData = {"trade_id": tradeType, "property_id": p}
            clearForm(2)
            var cards = Forms.withoutInvisible(Database.getFormCards(tradeType, p), inVisibleToggles)
            // Editing, whatever the types: each field of theirs the file has a value for is filled.
            var editing = !!editFile
            for (var i = 0; i < cards.length; ++i) {
                var card = cards[i]
                if (formType === Forms.REQUEST && i === 0)
                    card.districts = true
                var item = addCard(card)
                if (editing)
                    prefillCard(item, card)
            }
            getDistricts()
            formCompleted()
        } catch (e) {
            Toast.error(e, "selectProperty")
        }
    }

    function prefillInput(input) {
        var v = Forms.fileInputValue(editFile, input)
        if (v === "")
            return
        var item = findInputByKeys(input.key, input.parent_key)
        if (item)
            item.setValue(v, 1)
        Forms.setInput(submitData, input.parent_key, input.key, Forms.plainValue(v, input))
    }

    function prefillToggle(item, toggle) {
        if (!Forms.fileHasToggle(editFile, toggle.parent_key, toggle.key))
            return
        item.setChecked(toggle.key, true)
        Forms.setToggle(submitData, toggle.parent_key, toggle.key, true, false)
        ;(toggle.attachedToggles || []).forEach(function (a) { prefillToggle(item, a) })
        if (formType === Forms.FILE)
            (toggle.attachedInputs || []).forEach(prefillInput)
    }

    function prefillCard(item, card) {
        (card.toggles || []).forEach(function (t) { prefillToggle(item, t) })
        ;(card.inputs || []).forEach(prefillInput)
        if (card.stepper) {
            var n = Forms.stepperValue(editFile, card.stepper)
            if (n > 0) {
                item.stepperValue = n
                Forms.setInput(submitData, card.stepper.parent_key, card.stepper.key, String(n))
            }
        }
        // The file's districts count as chosen, so that an unchanged title keeps its district's id.
        if (Array.isArray(editFile.district) && selectedDistricts.length === 0)
            selectedDistricts = editFile.district.filter(function (d) { return d && !Forms.isEmpty(d._id) })
    }

    function findFilterValue(parentKey, key, isToggle) {
        return Forms.filterValue(filterValues, parentKey, key, isToggle)
    }

    function isDefaultFilter(parentKey, key, isToggle) {
        var f = findFilterValue(parentKey, key, isToggle)
        return !!f && (f["default"] === true || f.is_default === true)
    }

    function prefillFilters() {
        try {
            for (var c = 0; c < cardItems.length; ++c) {
                var item = cardItems[c]
                var card = cardsShown[c]
                var locked = []
                ;(card.toggles || []).forEach(function (t) {
                    if (findFilterValue(t.parent_key, t.key, true)) {
                        item.setChecked(t.key, true)
                        if (isDefaultFilter(t.parent_key, t.key, true))
                            locked.push(String(t.key))
                    }
                })
                ;(card.inputs || []).forEach(function (input) {
                    var f = findFilterValue(input.parent_key, input.key, false)
                    if (!f)
                        return
                    if (isDefaultFilter(input.parent_key, input.key, false))
                        locked.push(Forms.filterKeyOf(input))
                    if (input.parent_key === "date") {
                        dateItems.forEach(function (d) {
                            d.timestamp = Number(f.value.value_1) || 0
                            d.timestamp2 = Number(f.value.value_2) || 0
                        })
                        return
                    }
                    var field = findInputByKeys(input.key, input.parent_key)
                    if (field) {
                        field.setValue(f.value.value_1, 1)
                        field.setValue(f.value.value_2, 2)
                    }
                })
                item.lockedKeys = locked
            }
        } catch (e) {
            Toast.error(e, "prefillFilters")
        }
    }

    function searchInCards(keyword) {
        searchText = String(keyword || "")
        return Forms.settingsCardsMatching(settingsCards, searchText)
    }

    function getDistricts() {
        try {
            Database.districtListReady.connect(districtsArrived)
            Database.getDistricts()
        } catch (e) {
            Toast.error(e, "getDistricts")
        }
    }

    function districtsArrived(list) {
        try {
            Database.districtListReady.disconnect(districtsArrived)
            districtList = list || []
            var at = Forms.findFilter(filterValues, "district_array")
            if (formType === Forms.SEARCH_FILTER && at !== -1) {
                var ids = String(filterValues[at].value.value_1).split(Forms.DISTRICT_SEPARATOR)
                selectedDistricts = districtList.filter(function (d) { return ids.indexOf(d._id) !== -1 })
            }
        } catch (e) {
            Toast.error(e, "districtsArrived")
        }
    }

    function selectDistricts() {
        try {
            var dialog = districtDialog.createObject(Consts.window ? Consts.window.contentItem : formView, {
                "districts": districtList, "selected": selectedDistricts
            })
            dialog.confirmed.connect(function (removed, added) {
                selectedDistricts = Forms.applyDistrictChanges(selectedDistricts, {"removed": removed, "added": added})
                if (Forms.isFilter(formType)) {
                    Forms.setFilterDistricts(filterValues, selectedDistricts)
                    filterValuesChanged()
                }
            })
            dialog.closed.connect(function () { dialog.destroy() })
            dialog.open()
            return dialog
        } catch (e) {
            Toast.error(e, "selectDistricts")
            return null
        }
    }

    function onInput(inputItem, value, isLast) {
        try {
            Forms.setInput(submitData, inputItem.parent_key, inputItem.key, value)
            var fullPriceSource = (inputItem.parent_key === "price" && inputItem.key === "price_1")
                    || (inputItem.parent_key === "meter" && inputItem.key === Forms.sizeKey(propertyType))
            if (fullPriceSource && formType === Forms.FILE) {
                var full = Forms.fullPrice(tradeType, propertyType, submitData)
                var target = findInputByKeys("price_2", "price")
                if (full !== null && target) {
                    target.setValue(String(full), 1)
                    Forms.setInput(submitData, "price", "price_2", String(full))
                }
            }
            submitDataChanged()
            textChanged(inputItem, value, isLast)
        } catch (e) {
            Toast.error(e, "onInput")
        }
    }

    function onToggle(toggleItem, checked, single) {
        try {
            if (Forms.isFilter(formType)) {
                Forms.setFilterToggle(filterValues, toggleItem.parent_key, toggleItem.key, checked, single)
                filterValuesChanged()
            } else {
                Forms.setToggle(submitData, toggleItem.parent_key, toggleItem.key, checked, single)
                submitDataChanged()
            }
            toggleSelected(toggleItem, checked)
        } catch (e) {
            Toast.error(e, "onToggle")
        }
    }

    function onRange(inputItem, value, which) {
        try {
            Forms.setFilterRange(filterValues, Forms.filterKeyOf(inputItem), which, value)
            filterValuesChanged()
            textChanged(inputItem, value, false)
        } catch (e) {
            Toast.error(e, "onRange")
        }
    }

    function onDate(inputItem, which, timestamp) {
        try {
            if (Forms.isFilter(formType)) {
                Forms.setFilterRange(filterValues, "date", which, timestamp > 0 ? timestamp : "")
                filterValuesChanged()
            }
            textChanged(inputItem, timestamp, false)
        } catch (e) {
            Toast.error(e, "onDate")
        }
    }

    function onStepper(inputItem, value) {
        try {
            if (Forms.isFilter(formType)) {
                Forms.setFilterRange(filterValues, Forms.filterKeyOf(inputItem), 1, value > 0 ? String(value) : "")
                filterValuesChanged()
            } else {
                Forms.setInput(submitData, inputItem.parent_key, inputItem.key, value > 0 ? String(value) : "")
                submitDataChanged()
            }
            textChanged(inputItem, value, true)
        } catch (e) {
            Toast.error(e, "onStepper")
        }
    }

    Component {
        id: cardComponent
        FormCard {
            width: column.width
            onTradeSelected: formView.selectTrade(tradeType)
            onPropertySelected: formView.selectProperty(propertyType)
            onToggleSelected: formView.onToggle(toggleItem, checked, single)
            onInputTextChanged: formView.onInput(inputItem, value, isLast)
            onRangeChanged: formView.onRange(inputItem, value, which)
            onDateChanged: formView.onDate(inputItem, which, timestamp)
            onStepperChanged: formView.onStepper(inputItem, value)
            onDistrictsRequested: formView.selectDistricts()
            onInputCompleted: {
                if (inputItem.parent_key === "district")
                    formView.selectedDistricts = [entry]
                formView.inputCompleted(inputItem, entry)
            }
        }
    }

    Component {
        id: districtDialog
        SelectDistrictDialog {}
    }

    Column {
        id: column
        visible: formView.formType !== Forms.SETTINGS
        width: formView.width
        spacing: 10
    }

    // The settings kind: ticked toggles are hidden from the listing form.
    Column {
        id: settingsColumn
        visible: formView.formType === Forms.SETTINGS
        width: formView.width
        spacing: 10

        TextField {
            objectName: "settingsSearch"
            width: parent.width
            placeholderText: "جستجو"
            onTextChanged: formView.searchText = text
        }

        Repeater {
            model: formView.formType === Forms.SETTINGS
                   ? Forms.settingsCardsMatching(formView.settingsCards, formView.searchText) : []
            Rectangle {
                width: settingsColumn.width
                height: settingsCard.implicitHeight + 20
                radius: 8
                color: "#fafafa"
                border.color: "#e0e0e0"
                Column {
                    id: settingsCard
                    x: 10
                    y: 10
                    width: parent.width - 20
                    Text {
                        width: parent.width
                        text: String(modelData.title || "")
                        textFormat: Text.PlainText
                        font.bold: true
                        font.pointSize: 11
                    }
                    Flow {
                        width: parent.width
                        Repeater {
                            model: modelData.toggles || []
                            FormSettingsToggle {
                                toggleItem: modelData
                                checked: Forms.isInvisible(formView.inVisibleToggles, modelData)
                                onToggled: {
                                    formView.inVisibleToggles = Forms.setInvisible(formView.inVisibleToggles, toggleItem, checked)
                                    formView.toggleSelected(toggleItem, checked)
                                }
                            }
                        }
                    }
                }
            }
        }
    }
}
