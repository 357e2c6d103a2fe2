import QtQuick 2.15
import QtQuick.Controls 2.15

// A Jalali year, typed or stepped, written in the digits of the boxes beside it and without a
// thousands separator.
SpinBox {
    from: 1300
    to: 1500
    editable: true
    textFromValue: function (v, locale) {
        return Number(v).toLocaleString(locale, "f", 0).replace(/[^0-9\u06F0-\u06F9\u0660-\u0669]/g, "")
    }
}
