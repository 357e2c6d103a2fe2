import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// Creates or edits one contact; the phone book sends what it gathers.
Popup {
    id: editor

    property var contact: null

    signal accepted(var form)

    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: 360
    padding: 16

    readonly property var fields: [
        {"key": "name_family", "title": "نام و نام خانوادگی"},
        {"key": "mobile_1", "title": "شماره همراه 1"},
        {"key": "mobile_2", "title": "شماره همراه 2"},
        {"key": "job", "title": "شغل"},
        {"key": "address", "title": "آدرس"}
    ]

    function start(stored) {
        contact = stored || null
        for (var i = 0; i < fields.length; ++i)
            inputs.itemAt(i).text = contact && contact[fields[i].key] ? contact[fields[i].key] : ""
        open()
    }

    function form() {
        var f = {}
        for (var i = 0; i < fields.length; ++i)
            f[fields[i].key] = inputs.itemAt(i).text
        return f
    }

    contentItem: Column {
        spacing: 8
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        UTitle {
            title: editor.contact ? "ویرایش مخاطب" : "مخاطب جدید"
        }

        Repeater {
            id: inputs
            model: editor.fields
            TextField {
                objectName: "contact_" + modelData.key
                width: parent.width
                placeholderText: modelData.title
                selectByMouse: true
            }
        }

        UButtons {
            Button {
                objectName: "contact_save"
                text: "ثبت"
                highlighted: true
                onClicked: editor.accepted(editor.form())
            }
            Button {
                text: "انصراف"
                onClicked: editor.close()
            }
        }
    }
}
