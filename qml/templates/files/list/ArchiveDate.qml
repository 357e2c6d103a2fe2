import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "qrc:/com/forms/forms.js" as Forms

// The archive day, picked in the Jalali calendar; today by default.
Dialog {
    id: picker

    signal picked(double timestamp)

    objectName: "archiveDate"
    modal: true
    anchors.centerIn: parent
    title: "تاریخ بایگانی"
    // Wide enough for the three boxes, which are wider than the title.
    width: Math.max(380, dateRow.implicitWidth + leftPadding + rightPadding)

    readonly property var today: Dates.timestamp_to_jalali(Date.now())

    contentItem: Row {
        id: dateRow
        spacing: 8
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        UYearBox { id: year; objectName: "archiveYear"; value: picker.today.year }
        SpinBox { id: month; objectName: "archiveMonth"; from: 1; to: 12; value: picker.today.month; editable: true }
        SpinBox { id: day; objectName: "archiveDay"; from: 1; value: picker.today.day; editable: true
            to: Forms.daysInJalaliMonth(month.value, Dates.is_leap_year(year.value)) }
    }

    header: UTitle { padding: 12; title: picker.title }
    footer: UButtons {
        padding: 12
        Button { text: "تایید"; onClicked: picker.accept() }
        Button { text: "انصراف"; onClicked: picker.reject() }
    }

    // The day itself: its first moment, whatever the time of picking.
    onAccepted: {
        var d = new Date(Dates.jalali_to_timestamp(year.value, month.value, day.value))
        d.setHours(0, 0, 0, 0)
        picked(d.getTime())
    }
}
