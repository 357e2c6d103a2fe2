import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "forms.js" as Forms

// A Jalali date held as a timestamp; in filters a range of two dates ("از" and "تا").
Column {
    id: picker

    property string title: "تاریخ"
    property bool range: false
    property bool locked: false
    // 0 is no date.
    property double timestamp: 0
    property double timestamp2: 0

    signal dateChosen(int which, double timestamp)

    objectName: "datePicker"
    spacing: 4

    readonly property int thisYear: Number(Dates.current_persian_date().year)

    function partsOf(ts) {
        if (!(ts > 0))
            return null
        return Dates.timestamp_to_jalali(ts)
    }

    function apply(which, y, m, d) {
        var leap = Dates.is_leap_year(y)
        d = Math.min(d, Forms.daysInJalaliMonth(m, leap))
        var ts = Dates.jalali_to_timestamp(y, m, d)
        if (which === 2)
            timestamp2 = ts
        else
            timestamp = ts
        dateChosen(which, ts)
    }

    function clear(which) {
        if (which === 2)
            timestamp2 = 0
        else
            timestamp = 0
        dateChosen(which, 0)
    }

    Text {
        width: picker.width
        text: picker.title
        textFormat: Text.PlainText
        font.pointSize: 9
        color: "#616161"
    }

    Repeater {
        model: picker.range ? 2 : 1

        Row {
            id: line
            width: picker.width
            readonly property int which: index + 1
            readonly property var parts: picker.partsOf(which === 2 ? picker.timestamp2 : picker.timestamp)
            spacing: 6
            enabled: !picker.locked

            Text {
                visible: picker.range
                anchors.verticalCenter: parent.verticalCenter
                text: line.which === 2 ? "تا" : "از"
                font.pointSize: 10
                width: 20
            }
            ComboBox {
                id: day
                objectName: "day_" + line.which
                width: 70
                model: 31
                displayText: line.parts ? String(line.parts.day) : "روز"
                delegate: ItemDelegate { text: String(index + 1); width: day.width }
                onActivated: picker.apply(line.which, line.parts ? line.parts.year : picker.thisYear,
                                          line.parts ? line.parts.month : 1, index + 1)
            }
            ComboBox {
                id: month
                objectName: "month_" + line.which
                width: 110
                model: Forms.monthNames
                displayText: line.parts ? Forms.monthNames[line.parts.month - 1] : "ماه"
                onActivated: picker.apply(line.which, line.parts ? line.parts.year : picker.thisYear,
                                          index + 1, line.parts ? line.parts.day : 1)
            }
            ComboBox {
                id: year
                objectName: "year_" + line.which
                width: 90
                model: 40
                displayText: line.parts ? String(line.parts.year) : "سال"
                delegate: ItemDelegate { text: String(picker.thisYear + 1 - index); width: year.width }
                onActivated: picker.apply(line.which, picker.thisYear + 1 - index,
                                          line.parts ? line.parts.month : 1, line.parts ? line.parts.day : 1)
            }
            Button {
                visible: picker.range && line.parts !== null
                text: "×"
                width: 32
                onClicked: picker.clear(line.which)
            }
        }
    }
}
