import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// Step 1: the country and the mobile number (Iran) or the e-mail address (elsewhere).
Item {
    id: byCell

    property var countries: Country
    property var consts: Consts

    readonly property int iran: 98
    readonly property int length: 11
    property int countryCode: iran
    property alias emailText: emailField.text

    signal submitted(int countryCode, string value)

    implicitWidth: column.implicitWidth
    implicitHeight: column.implicitHeight

    function field(i) {
        return digitFields.itemAt(i)
    }

    function number() {
        var text = ""
        for (var i = 0; i < length; ++i) {
            var f = field(i)
            text += f ? f.text : ""
        }
        return text
    }

    // Fills the free fields from a number, with or without its fixed "09".
    function setNumber(text) {
        var digits = String(consts.fixNumbers(String(text))).replace(/[^0-9]/g, "")
        if (digits.indexOf("09") === 0)
            digits = digits.substring(2)
        for (var i = 2; i < length; ++i)
            field(i).text = i - 2 < digits.length ? digits.charAt(i - 2) : ""
    }

    function chooseCountry(index) {
        var list = countries.list
        if (index >= 0 && index < list.length)
            countryCode = list[index].dial_code
    }

    function indexOfCountry(code) {
        var list = countries.list
        for (var i = 0; i < list.length; ++i) {
            if (list[i]._id === code)
                return i
        }
        return -1
    }

    function submit() {
        submitted(countryCode, countryCode === iran ? number() : emailField.text)
    }

    Column {
        id: column
        anchors.horizontalCenter: parent.horizontalCenter
        spacing: 18
        width: 440

        Text {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: byCell.countryCode === byCell.iran ? "شماره همراه خود را وارد کنید" : "آدرس ایمیل خود را وارد کنید"
            color: "#0d47a1"
            font.pointSize: 14
        }

        ComboBox {
            id: countryBox
            objectName: "country"
            width: parent.width
            model: byCell.countries.list
            textRole: "title"
            displayText: currentIndex >= 0 ? byCell.countries.list[currentIndex].title + "  (+"
                                             + byCell.countries.list[currentIndex].dial_code + ")" : ""
            currentIndex: byCell.indexOfCountry("IR")
            onActivated: byCell.chooseCountry(index)
        }

        Row {
            id: numberRow
            visible: byCell.countryCode === byCell.iran
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 4
            // A phone number reads left to right in a right-to-left window too.
            LayoutMirroring.enabled: false
            LayoutMirroring.childrenInherit: true

            Repeater {
                id: digitFields
                model: byCell.length

                TextField {
                    width: 36
                    height: 44
                    horizontalAlignment: TextInput.AlignHCenter
                    font.pointSize: 14
                    readOnly: index < 2
                    text: index === 0 ? "0" : (index === 1 ? "9" : "")
                    inputMethodHints: Qt.ImhDigitsOnly
                    validator: RegularExpressionValidator { regularExpression: /[0-9۰-۹٠-٩]?/ }

                    onTextEdited: {
                        text = byCell.consts.fixNumbers(text)
                        if (text.length > 0 && index + 1 < byCell.length)
                            byCell.field(index + 1).forceActiveFocus()
                    }
                    Keys.onPressed: {
                        if (event.key === Qt.Key_Backspace && text.length === 0 && index > 2) {
                            byCell.field(index - 1).text = ""
                            byCell.field(index - 1).forceActiveFocus()
                            event.accepted = true
                        } else if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter) {
                            byCell.submit()
                            event.accepted = true
                        }
                    }
                }
            }
        }

        TextField {
            id: emailField
            objectName: "email"
            visible: byCell.countryCode !== byCell.iran
            width: parent.width
            placeholderText: "example@mail.com"
            horizontalAlignment: TextInput.AlignLeft
            inputMethodHints: Qt.ImhEmailCharactersOnly
            onAccepted: byCell.submit()
        }

        Button {
            objectName: "submit"
            width: parent.width
            highlighted: true
            text: "دریافت کد تایید"
            onClicked: byCell.submit()
        }
    }

    Component.onCompleted: {
        var first = field(2)
        if (first)
            first.forceActiveFocus()
    }
}
