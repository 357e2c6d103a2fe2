import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// Step 2: the six-digit code the server sent, its resend with a countdown, and the way back.
Item {
    id: codeStep

    property var consts: Consts

    // The number or e-mail address the code went to.
    property string identity: ""
    readonly property int length: 6
    readonly property int resendDelay: 60
    property int remaining: 0
    property string countdownText: ""
    property alias countdown: ticker

    signal verify(string code)
    signal resend()
    signal correct()

    implicitWidth: column.implicitWidth
    implicitHeight: column.implicitHeight

    function field(i) {
        return codeFields.itemAt(i)
    }

    function code() {
        var text = ""
        for (var i = 0; i < length; ++i) {
            var f = field(i)
            text += f ? f.text : ""
        }
        return text
    }

    // Fills the fields in order; the sixth digit sends the code, as typing it does.
    function setCode(text) {
        var digits = String(consts.fixNumbers(String(text))).replace(/[^0-9]/g, "")
        for (var i = 0; i < length; ++i)
            field(i).text = i < digits.length ? digits.charAt(i) : ""
        if (digits.length >= length)
            verify(code())
    }

    function clear() {
        for (var i = 0; i < length; ++i) {
            var f = field(i)
            if (f)
                f.text = ""
        }
        var first = field(0)
        if (first)
            first.forceActiveFocus()
    }

    function submit() {
        verify(code())
    }

    function askAgain() {
        if (remaining > 0)
            return
        resend()
        remaining = resendDelay
        countdownText = "دریافت مجدد کد تاییدیه بعد از " + resendDelay + " ثانیه"
        ticker.start()
    }

    function tick() {
        remaining = Math.max(0, remaining - 1)
        if (remaining === 0) {
            ticker.stop()
            countdownText = ""
        } else {
            countdownText = "دریافت مجدد کد " + remaining + " ثانیه"
        }
    }

    Timer {
        id: ticker
        interval: 1000
        repeat: true
        onTriggered: codeStep.tick()
    }

    Column {
        id: column
        anchors.horizontalCenter: parent.horizontalCenter
        spacing: 18
        width: 440

        Text {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.WordWrap
            text: "کد تایید ارسال شده به " + codeStep.identity + " را وارد کنید"
            color: "#0d47a1"
            font.pointSize: 14
        }

        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 6
            LayoutMirroring.enabled: false
            LayoutMirroring.childrenInherit: true

            Repeater {
                id: codeFields
                model: codeStep.length

                TextField {
                    width: 44
                    height: 48
                    horizontalAlignment: TextInput.AlignHCenter
                    font.pointSize: 16
                    inputMethodHints: Qt.ImhDigitsOnly
                    validator: RegularExpressionValidator { regularExpression: /[0-9۰-۹٠-٩]?/ }

                    onTextEdited: {
                        text = codeStep.consts.fixNumbers(text)
                        if (text.length === 0)
                            return
                        if (index + 1 < codeStep.length)
                            codeStep.field(index + 1).forceActiveFocus()
                        else if (codeStep.code().length === codeStep.length)
                            codeStep.submit()
                    }
                    Keys.onPressed: {
                        if (event.key === Qt.Key_Backspace && text.length === 0 && index > 0) {
                            codeStep.field(index - 1).text = ""
                            codeStep.field(index - 1).forceActiveFocus()
                            event.accepted = true
                        } else if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter) {
                            codeStep.submit()
                            event.accepted = true
                        }
                    }
                }
            }
        }

        Button {
            objectName: "enter"
            width: parent.width
            highlighted: true
            text: "ورود به برنامه"
            onClicked: codeStep.submit()
        }

        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 24

            Button {
                objectName: "resend"
                flat: true
                visible: codeStep.remaining === 0
                text: "ارسال مجدد کد"
                onClicked: codeStep.askAgain()
            }

            Text {
                anchors.verticalCenter: parent.verticalCenter
                visible: codeStep.remaining > 0
                text: codeStep.countdownText
                color: "#757575"
                font.pointSize: 11
            }

            Button {
                objectName: "correct"
                flat: true
                text: "تصحیح شماره همراه"
                onClicked: codeStep.correct()
            }
        }
    }
}
