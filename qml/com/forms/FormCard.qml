import QtQuick 2.15
import QtQuick.Controls 2.15
import "forms.js" as Forms

// One group of the form as the catalogue card says: its toggles, its inputs, its stepper.
Rectangle {
    id: cardItem

    property var card: ({})
    property var form: null
    property int formType: 0
    property int tradeType: -1
    // Keys (as text) of the checked toggles, attached ones included: keys are unique in the catalogue.
    property var checkedKeys: []
    property var lockedKeys: []
    property var completionList: []
    property var contactList: []
    property int stepperValue: 0
    readonly property bool single: Forms.isSingleChoice(card, formType)
    readonly property int columns: Forms.toggleColumns(card)
    readonly property var toggles: (card && card.toggles) || []
    readonly property var inputs: (card && card.inputs) || []

    signal tradeSelected(int tradeType)
    signal propertySelected(int propertyType)
    signal toggleSelected(var toggleItem, bool checked)
    signal inputTextChanged(var inputItem, string value, bool isLast)
    signal rangeChanged(var inputItem, string value, int which)
    signal dateChanged(var inputItem, int which, double timestamp)
    signal stepperChanged(var inputItem, int value)
    signal districtsRequested()
    signal inputCompleted(var inputItem, var entry)

    objectName: "card_" + (card ? card.id : "")
    width: parent ? parent.width : 400
    implicitHeight: body.implicitHeight + 20
    height: implicitHeight
    radius: 8
    color: "#fafafa"
    border.color: "#e0e0e0"

    function isChecked(key) {
        return checkedKeys.indexOf(String(key)) !== -1
    }

    function setChecked(key, on) {
        var k = String(key)
        var next = checkedKeys.filter(function (c) { return c !== k })
        if (on)
            next.push(k)
        checkedKeys = next
    }

    function choose(toggleItem, on, attached) {
        var k = String(toggleItem.key)
        if (!attached && single && on) {
            var own = toggles.map(function (t) { return String(t.key) })
            checkedKeys = checkedKeys.filter(function (c) { return own.indexOf(c) === -1 })
        }
        setChecked(k, on)
        if (Forms.isTradeCard(card) && on)
            tradeSelected(Number(toggleItem.key))
        else if (Forms.isPropertyCard(card) && on)
            propertySelected(Number(toggleItem.key))
        else
            toggleSelected(toggleItem, on)
    }

    function toggleWidth(count, avail) {
        return (avail - (count - 1) * 6) / count
    }

    Column {
        id: body
        x: 10
        y: 10
        width: cardItem.width - 20
        spacing: 8

        Text {
            width: parent.width
            visible: text !== ""
            text: cardItem.card && cardItem.card.title ? String(cardItem.card.title) : ""
            textFormat: Text.PlainText
            font.pointSize: 11
            font.bold: true
        }

        Grid {
            id: grid
            visible: cardItem.toggles.length > 0
            columns: cardItem.columns
            spacing: 6
            width: parent.width

            Repeater {
                model: cardItem.toggles
                FormToggle {
                    width: cardItem.toggleWidth(grid.columns, grid.width)
                    toggleItem: modelData
                    title: Forms.toggleTitle(modelData, cardItem.formType, cardItem.tradeType)
                    checked: cardItem.isChecked(modelData.key)
                    single: cardItem.single
                    locked: cardItem.lockedKeys.indexOf(String(modelData.key)) !== -1
                    onToggled: cardItem.choose(toggleItem, checked, false)
                }
            }
        }

        // Attachment panels of the checked toggles that have them (files only).
        Repeater {
            model: cardItem.formType === Forms.FILE ? cardItem.toggles : []
            Column {
                id: panel
                readonly property var owner: modelData
                readonly property var attachedToggles: owner.attachedToggles || []
                readonly property var attachedInputs: owner.attachedInputs || []
                visible: Forms.showsAttachments(cardItem.formType, owner) && cardItem.isChecked(owner.key)
                width: body.width
                spacing: 6

                Grid {
                    id: attachedGrid
                    width: parent.width
                    spacing: 6
                    columns: Forms.attachedTogglesInRow(panel.owner) ? Math.max(1, panel.attachedToggles.length) : 1
                    Repeater {
                        model: panel.visible ? panel.attachedToggles : []
                        FormToggle {
                            width: cardItem.toggleWidth(attachedGrid.columns, attachedGrid.width)
                            toggleItem: modelData
                            title: Forms.toggleTitle(modelData, cardItem.formType, cardItem.tradeType)
                            checked: cardItem.isChecked(modelData.key)
                            onToggled: cardItem.choose(toggleItem, checked, true)
                        }
                    }
                }

                Grid {
                    id: attachedInputGrid
                    width: parent.width
                    spacing: 6
                    columns: Forms.attachedInputsInRow(panel.owner) ? Math.max(1, panel.attachedInputs.length) : 1
                    Repeater {
                        model: panel.visible ? panel.attachedInputs : []
                        FormInput {
                            width: cardItem.toggleWidth(attachedInputGrid.columns, attachedInputGrid.width)
                            inputItem: modelData
                            hint: Forms.inputHint(modelData, cardItem.formType, cardItem.tradeType)
                            onEdited: cardItem.inputTextChanged(inputItem, value, false)
                            Component.onCompleted: if (cardItem.form) cardItem.form.registerInput(this)
                            Component.onDestruction: if (cardItem.form) cardItem.form.unregisterInput(this)
                        }
                    }
                }
            }
        }

        Repeater {
            model: cardItem.inputs
            Loader {
                id: inputLoader
                readonly property var field: modelData
                readonly property bool isLast: index === cardItem.inputs.length - 1
                readonly property bool isRange: Forms.isFilter(cardItem.formType) && Number(modelData.filter_type) === 2
                width: body.width
                // Requests take their districts from the chooser alone.
                active: !(cardItem.formType === Forms.REQUEST && modelData.parent_key === "district")
                visible: active && !(cardItem.form && cardItem.form.isHidden(modelData))
                sourceComponent: modelData.parent_key === "date" ? dateComponent : inputComponent

                Component {
                    id: inputComponent
                    FormInput {
                        width: body.width
                        inputItem: inputLoader.field
                        hint: Forms.inputHint(inputLoader.field, cardItem.formType, cardItem.tradeType)
                        range: inputLoader.isRange
                        isLast: inputLoader.isLast
                        locked: cardItem.lockedKeys.indexOf(inputLoader.field.parent_key + "." + inputLoader.field.key) !== -1
                        completionList: Forms.completionSource(inputLoader.field, cardItem.completionList,
                                                               cardItem.contactList)
                        onEdited: {
                            if (range)
                                cardItem.rangeChanged(inputItem, value, which)
                            else
                                cardItem.inputTextChanged(inputItem, value, isLast)
                        }
                        onCompleted: cardItem.inputCompleted(inputItem, entry)
                        Component.onCompleted: if (cardItem.form) cardItem.form.registerInput(this)
                        Component.onDestruction: if (cardItem.form) cardItem.form.unregisterInput(this)
                    }
                }
                Component {
                    id: dateComponent
                    FormDatePicker {
                        width: body.width
                        title: inputLoader.field.title
                        range: Forms.isFilter(cardItem.formType)
                        locked: cardItem.lockedKeys.indexOf("date") !== -1
                        onDateChosen: cardItem.dateChanged(inputLoader.field, which, timestamp)
                        Component.onCompleted: if (cardItem.form) cardItem.form.registerDate(this)
                    }
                }
            }
        }

        Column {
            visible: cardItem.card && cardItem.card.districts === true
            width: parent.width
            spacing: 4
            Text {
                width: parent.width
                text: "منطقه یا خیابان اصلی"
                font.pointSize: 10
            }
            Flow {
                width: parent.width
                spacing: 4
                Repeater {
                    model: cardItem.form ? cardItem.form.selectedDistricts : []
                    Rectangle {
                        width: chip.implicitWidth + 16
                        height: 26
                        radius: 13
                        color: "#e3f2fd"
                        Text {
                            id: chip
                            anchors.centerIn: parent
                            text: String(modelData.title || "")
                            textFormat: Text.PlainText
                            font.pointSize: 9
                        }
                    }
                }
            }
            Button {
                anchors.left: parent.left
                objectName: "chooseDistricts"
                text: "انتخاب منطقه"
                onClicked: cardItem.districtsRequested()
            }
        }

        FormStepper {
            width: body.width
            visible: cardItem.card && cardItem.card.stepper !== undefined
            inputItem: cardItem.card && cardItem.card.stepper ? cardItem.card.stepper : ({})
            title: cardItem.card && cardItem.card.stepper ? String(cardItem.card.stepper.title) : ""
            value: cardItem.stepperValue
            onValueEdited: {
                cardItem.stepperValue = value
                cardItem.stepperChanged(inputItem, value)
            }
        }
    }
}
