import QtQuick 2.15
import QtTest 1.15
import "../../qml/templates/setting/dialogs/excelexport.js" as Excel
import "../../qml/templates/files/fileprint.js" as Card

// What the export dialog and the printed card decide, without a window.
TestCase {
    name: "ExportLogic"

    function test_export_follows_the_role() {
        compare(Excel.filesArguments(true, "u1", undefined), ["u1", ""], "managers export the agency's files")
        compare(Excel.filesArguments(false, "u1", "a7"), ["u1", "a7"], "others only their own")
        verify(Excel.showContacts(true))
        verify(!Excel.showContacts(false))
        verify(!Excel.showContacts(undefined))
        compare(Excel.fileUrl("/home/u/a.xlsx"), "file:///home/u/a.xlsx")
        compare(Excel.fileUrl("C:/Users/a.xlsx"), "file:///C:/Users/a.xlsx")
        compare(Excel.fraction(5, 0), 0)
        compare(Excel.fraction(5, 10), 0.5)
    }

    function test_card_rows_boxes_and_address() {
        var cards = [
            {"inputs": [{"key": "manual", "parent_key": "code", "title": "کد"},
                        {"key": "price_1", "parent_key": "price", "title": "قیمت هر متر", "request_title": "ق", "currency": true},
                        {"key": "price_2", "parent_key": "price", "title": "قیمت کل", "request_title": "سقف", "currency": true},
                        {"key": "room", "parent_key": "info", "title": "اتاق", "request_title": "اتاق"},
                        {"key": "address", "parent_key": "info", "title": "آدرس"},
                        {"key": "name_family", "parent_key": "guard", "title": "نگهبان"}]},
            {"title": "پارکینگ", "toggles": [{"key": 1, "parent_key": "parking", "title": "مشاع", "request_title": "مشاع ر"},
                                            {"key": 11, "parent_key": "parking", "title": "اختصاصی", "request_title": "اختصاصی ر"}],
             "stepper": {"key": "num_parking", "parent_key": "info", "title": "تعداد"}},
            {"title": "خالی", "toggles": [{"key": 5, "parent_key": "wc", "title": "ایرانی"}]}
        ]
        var file = {"trade_ref": 10, "price": {"price_1": 1500000, "price_2": 0}, "info": {"room": 2, "num_parking": 2, "address": "کوچه"},
                    "parking": "11,", "district": [{"title": "ونک"}, {"title": "ملاصدرا"}], "hashtag": [{"title": "فوری"}]}
        var rows = Card.inputRows(file, cards, file.trade_ref)
        compare(rows.length, 2)
        // An archived rent folds to rent: its price titles come from the rent's hints.
        compare(rows[0][0], {"title": "مبلغ رهن", "value": "1,500,000"})
        compare(rows[0][1], {"title": "مبلغ اجاره", "value": ""}, "a number nobody entered keeps its cell, empty")
        compare(rows[1][1], {"title": "", "value": ""}, "a single last cell gets an empty partner")
        // Whole keys only: "11," does not set toggle 1.
        compare(Card.boxes(file, cards, file.trade_ref), [{"title": "پارکینگ", "items": ["اختصاصی", "تعداد 2"]}])
        compare(Card.addressLine(file, true), "ونک - ملاصدرا - کوچه")
        compare(Card.addressLine(file, false), "ونک - ملاصدرا")
        compare(Card.hashtags(file), ["فوری"])
        compare(Card.seenRequest({"seen": false, "code": {"auto": 9}}, "u1"), {"user_id": "u1", "code": [9]})
        compare(Card.seenRequest({"seen": true, "code": {"auto": 9}}, "u1"), null)
    }
}
