import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "notes.js" as Notes
import "qrc:/com/forms/forms.js" as Forms

// Writes or edits one note: a preset tag or a colour, title, text and the reminder's Jalali day
// and time. It only gathers the form; the drawer sends it.
Popup {
    id: editor

    // The stored note being edited, or null for a new one.
    property var note: null
    property string title: ""
    property string body: ""
    property string color: Notes.presets[0].color

    signal accepted(var form)

    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: 420
    padding: 16

    function start(stored) {
        note = stored || null
        var when = note ? Number(note.date) : Date.now()
        var j = Dates.timestamp_to_jalali(when)
        titleField.text = note ? note.title : ""
        bodyField.text = note ? note.body : ""
        // A long note opens at its start.
        bodyField.cursorPosition = 0
        color = note && note.color ? note.color : Notes.presets[0].color
        year.value = j.year
        month.value = j.month
        day.value = j.day
        hour.value = note ? j.hour : 12
        minute.value = note ? j.minute : 0
        open()
    }

    function alarm() {
        return Notes.alarmOf(Dates.jalali_to_timestamp(year.value, month.value, day.value), hour.value, minute.value)
    }

    function choosePreset(index) {
        titleField.text = Notes.presets[index].title
        color = Notes.presets[index].color
    }

    function submit() {
        accepted({"title": titleField.text, "body": bodyField.text, "color": color, "alarm": alarm()})
    }

    contentItem: Column {
        spacing: 10
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        UTitle {
            objectName: "noteEditorTitle"
            title: editor.note ? "ویرایش یادداشت" : "یادداشت جدید"
        }

        Flow {
            width: parent.width
            spacing: 6
            Repeater {
                model: Notes.presets
                delegate: Rectangle {
                    objectName: "note_preset_" + index
                    width: presetLabel.implicitWidth + 16
                    height: 28
                    radius: 14
                    color: modelData.color
                    border.width: editor.color === modelData.color && titleField.text === modelData.title ? 2 : 0
                    border.color: "#37474f"
                    Text {
                        id: presetLabel
                        anchors.centerIn: parent
                        text: modelData.title
                        font.pointSize: 10
                    }
                    MouseArea {
                        anchors.fill: parent
                        onClicked: editor.choosePreset(index)
                    }
                }
            }
        }

        Row {
            width: parent.width
            spacing: 8
            Repeater {
                model: Notes.presets
                delegate: Rectangle {
                    objectName: "note_color_" + index
                    width: 26
                    height: 26
                    radius: 13
                    color: modelData.color
                    border.width: editor.color === modelData.color ? 3 : 1
                    border.color: editor.color === modelData.color ? "#37474f" : "#b0bec5"
                    MouseArea {
                        anchors.fill: parent
                        onClicked: editor.color = modelData.color
                    }
                }
            }
        }

        TextField {
            id: titleField
            objectName: "note_title"
            width: parent.width
            placeholderText: "عنوان"
            selectByMouse: true
        }

        // The whole note, scrolling in its box once it is longer than the window leaves room for.
        ScrollView {
            objectName: "note_body_view"
            width: parent.width
            height: Math.max(90, Math.min(bodyField.implicitHeight, (Overlay.overlay ? Overlay.overlay.height : 600) - 460))
            clip: true
            ScrollBar.vertical.policy: bodyField.implicitHeight > height ? ScrollBar.AlwaysOn : ScrollBar.AsNeeded
            background: Rectangle { border.color: "#b0bec5"; radius: 4 }
            TextArea {
                id: bodyField
                objectName: "note_body"
                placeholderText: "توضیحات"
                wrapMode: TextEdit.Wrap
                textFormat: TextEdit.PlainText
                selectByMouse: true
            }
        }

        UTitle { heading: true; title: "یادآوری" }

        Row {
            width: parent.width
            spacing: 4
            UYearBox { id: year; objectName: "note_year"; width: 150 }
            SpinBox { id: month; objectName: "note_month"; from: 1; to: 12; width: 112; editable: true }
            SpinBox { id: day; objectName: "note_day"; from: 1; width: 112; editable: true
                to: Forms.daysInJalaliMonth(month.value, Dates.is_leap_year(year.value)) }
        }

        // Hours and minutes read left to right, as a clock does.
        Row {
            spacing: 4
            LayoutMirroring.enabled: false
            anchors.right: parent ? parent.right : undefined
            SpinBox { id: hour; objectName: "note_hour"; from: 0; to: 23; width: 112; editable: true }
            Label { text: ":"; anchors.verticalCenter: parent ? parent.verticalCenter : undefined }
            SpinBox { id: minute; objectName: "note_minute"; from: 0; to: 59; width: 112; editable: true }
        }

        UButtons {
            Button {
                objectName: "note_save"
                text: "ثبت"
                highlighted: true
                onClicked: editor.submit()
            }
            Button {
                text: "انصراف"
                onClicked: editor.close()
            }
        }
    }
}
