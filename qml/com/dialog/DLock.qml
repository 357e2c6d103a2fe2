import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// Asks for the four-digit app PIN.
Popup {
    id: dialog

    property string title: "کلمه عبور چهار رقمی را وارد کنید"
    property bool done: false

    signal entered(string pin)
    signal canceled()

    function initial(options) {
        if (options && options.title)
            title = options.title
    }

    function accept() {
        var pin = Consts.fixNumbers(field.text)
        if (!/^[0-9]{4}$/.test(pin)) {
            Toast.show("کلمه عبور باید چهار رقم باشد")
            return
        }
        done = true
        entered(pin)
        close()
    }

    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: 360
    padding: 20
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside

    onOpened: field.forceActiveFocus()
    onClosed: {
        if (!done)
            canceled()
    }

    contentItem: Column {
        spacing: 16
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        UTitle {
            title: dialog.title
            font.pointSize: 12
        }

        TextField {
            id: field
            objectName: "pinField"
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            echoMode: TextInput.Password
            maximumLength: 4
            inputMethodHints: Qt.ImhDigitsOnly
            font.pointSize: 16
            onAccepted: dialog.accept()
        }

        UButtons {
            spacing: 12

            Button {
                text: "تایید"
                onClicked: dialog.accept()
            }

            Button {
                text: "انصراف"
                flat: true
                onClicked: dialog.close()
            }
        }
    }
}
