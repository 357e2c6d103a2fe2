import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "forms.js" as Forms

// One field of a card by its input type; in filter forms a range field has a "از" and a "تا" box.
Column {
    id: field

    property var inputItem: ({})
    property string hint: inputItem ? String(inputItem.title || "") : ""
    property bool range: false
    property bool locked: false
    property bool isLast: false
    // Offered while typing: entries whose title, name or mobile holds the text.
    property var completionList: []
    property alias text: first.text
    property alias text2: second.text
    readonly property string value: Forms.plainValue(first.text, field.inputItem)
    readonly property string value2: Forms.plainValue(second.text, field.inputItem)

    signal edited(var inputItem, string value, int which)
    signal completed(var inputItem, var entry)

    objectName: "input_" + (inputItem ? inputItem.parent_key + "_" + inputItem.key : "")
    spacing: 2

    function setValue(v, which) {
        var box = which === 2 ? second : first
        box.text = Forms.displayValue(inputItem, v)
        box.kept = box.text
    }

    // Digits only for type 2, a decimal number for type 3; Persian and Arabic-Indic digits count, and
    // so do the Arabic thousands separator and decimal point (U+066C, U+066B).
    function validatorFor(input) {
        var type = input ? Number(input.input_type) : 1
        return type === 2 ? digitsOnly : type === 3 ? decimal : null
    }

    RegularExpressionValidator {
        id: digitsOnly
        regularExpression: /[0-9۰-۹٠-٩,٬]*/
    }

    RegularExpressionValidator {
        id: decimal
        regularExpression: /[0-9۰-۹٠-٩,٬]*[.٫]?[0-9۰-۹٠-٩]*/
    }

    // A number stands at the right whatever its digits, Persian or ASCII; a mirrored layout mirrors
    // the alignment too, so there the right is asked for as the left. Text keeps the alignment of
    // its own direction (undefined resets it).
    function numberAlignment(box) {
        if (!Forms.isNumber(field.inputItem))
            return undefined
        return box.LayoutMirroring.enabled ? TextInput.AlignLeft : TextInput.AlignRight
    }

    function typed(box, which) {
        // More digits than the field takes would not reach the server whole: the entry is refused.
        if (Forms.refusesEdit(box.kept, box.text, inputItem)) {
            box.text = box.kept
            box.cursorPosition = box.text.length
            Toast.show(Forms.TOO_LONG)
            return
        }
        var raw = box.text
        if (inputItem.currency) {
            var shown = Forms.displayValue(inputItem, Forms.plainValue(raw, inputItem))
            if (shown !== raw) {
                box.text = shown
                box.cursorPosition = shown.length
            }
        }
        box.kept = box.text
        var v = Forms.plainValue(box.text, inputItem)
        edited(inputItem, v, which)
        if (field.completionList.length > 0 && which === 1) {
            var found = Forms.completions(field.completionList, v)
            if (found.length > 0)
                popup.show(found)
            else
                popup.close()
        }
    }

    Text {
        id: hintText
        width: field.width
        text: field.hint
        textFormat: Text.PlainText
        font.pointSize: 9
        color: "#616161"
    }

    Row {
        width: field.width
        spacing: 8

        TextField {
            id: first
            objectName: "value_1"
            width: field.range ? (parent.width - 8) / 2 : parent.width
            enabled: !field.locked
            placeholderText: field.range ? "از" : ""
            // What the box held before the last edit, for a refused entry to go back to.
            property string kept: ""
            // A number's limit counts its digits, not its separators: typed() holds it.
            maximumLength: field.inputItem && field.inputItem.max_length > 0 && !Forms.isNumber(field.inputItem)
                           ? field.inputItem.max_length : 32767
            inputMethodHints: Forms.isNumeric(field.inputItem ? field.inputItem.input_type : 1)
                              ? Qt.ImhFormattedNumbersOnly : Qt.ImhNone
            selectByMouse: true
            validator: field.validatorFor(field.inputItem)
            horizontalAlignment: field.numberAlignment(first)
            onTextEdited: field.typed(first, 1)
        }

        TextField {
            id: second
            objectName: "value_2"
            visible: field.range
            width: (parent.width - 8) / 2
            enabled: !field.locked
            placeholderText: "تا"
            property string kept: ""
            inputMethodHints: first.inputMethodHints
            selectByMouse: true
            validator: first.validator
            horizontalAlignment: field.numberAlignment(second)
            onTextEdited: field.typed(second, 2)
        }
    }

    FormAutoCompleteDialog {
        id: popup
        input: first
        width: field.width
        onChosen: {
            first.text = Forms.completionText(entry, field.inputItem)
            first.kept = first.text
            field.edited(field.inputItem, Forms.plainValue(first.text, field.inputItem), 1)
            field.completed(field.inputItem, entry)
        }
    }
}
