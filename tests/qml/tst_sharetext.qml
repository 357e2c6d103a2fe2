import QtQuick 2.15
import QtTest 1.2
import "qrc:/assets/texts.js" as Texts

TestCase {
    name: "ShareText"

    readonly property var owner: ({
        "_id": "o1", "type": 100, "name_family": "مدیر", "business_name": "املاک آفتاب",
        "city": {"title": "تهران"}, "info": {"address": "خیابان ولیعصر"}
    })
    readonly property var agent: ({
        "_id": "a1", "type": 0, "name_family": "رضا کریمی", "parent": owner,
        "info": {"mobile_1": "09121111111", "mobile_2": "", "phone_1": "02188888888", "email": "r@example.com"},
        "telegram_channel": "aftab_channel", "instagram": "", "description": "پاسخگویی تا ساعت ۲۲"
    })

    function cards() {
        return [
            {"title": "", "inputs": [
                {"parent_key": "meter", "key": "home", "title": "متراژ بنا", "request_title": "حداقل متراژ"},
                {"parent_key": "info", "key": "room", "title": "تعداد اتاق", "request_title": "حداقل اتاق"},
                {"parent_key": "info", "key": "address", "title": "آدرس", "request_title": "آدرس"},
                {"parent_key": "price", "key": "price_1", "title": "قیمت هر متر", "request_title": "سقف"},
                {"parent_key": "customer", "key": "name", "title": "مالک", "request_title": "متقاضی"},
                {"parent_key": "info", "key": "floor_one", "title": "طبقه", "request_title": "طبقه"}
            ]},
            {"title": "امکانات", "toggles": [
                {"parent_key": "facilities", "key": 3, "title": "آسانسور", "request_title": "متقاضی آسانسور",
                 "attachedToggles": [
                     {"parent_key": "facilities", "key": 31, "title": "آسانسور نو", "request_title": "نو"},
                     {"parent_key": "tenant", "key": 32, "title": "مستاجر دارد", "request_title": "مستاجر"}
                 ]},
                {"parent_key": "facilities", "key": 13, "title": "انباری", "request_title": "متقاضی انباری"}
            ]},
            {"title": "نوع و تعداد پارکینگ", "toggles": [],
             "stepper": {"parent_key": "info", "key": "num_parking", "title": "تعداد پارکینگ"}},
            {"title": "جهت", "toggles": [{"parent_key": "direction", "key": 7, "title": "شمالی", "request_title": "شمالی"}]}
        ]
    }

    function file(trade, manual) {
        return {
            "trade_ref": trade, "property_ref": 50,
            "code": {"auto": 1203, "manual": manual},
            "district": [{"title": "ونک"}, {"title": "جردن"}],
            "meter": {"home": 120.4},
            "info": {"room": 3, "address": "پلاک ۱", "floor_one": "", "num_parking": 2, "desc": "نورگیر عالی"},
            "price": {"price_1": 500000000, "price_2": 25000000, "loan": 0},
            "facilities": "3,31,32,", "tenant": "",
            "dates": {"register": 1696650000000}
        }
    }

    function test_rent_file() {
        var text = Texts.shareText(file(2, "M-7"), agent, cards(), "1402/07/15")
        verify(text.indexOf("#تهران_ونک جردن \n\n#کد_فایل_1203\n#شناسه_فایل_M-7\nتاریخ:1402/07/15\n#اجاره_آپارتمان\n") === 0, text)
        verify(text.indexOf("متراژ بنا 120\n") !== -1, text)
        verify(text.indexOf("تعداد اتاق 3\n") !== -1, text)
        verify(text.indexOf("پلاک") === -1, "the address field is never shared")
        verify(text.indexOf("طبقه") === -1, "empty values are left out")
        verify(text.indexOf("\nامکانات : آسانسور,آسانسور نو") !== -1, text)
        verify(text.indexOf("مستاجر دارد") === -1, "tenant attachments are not shared")
        verify(text.indexOf("انباری") === -1, "13 is not set by 3,")
        verify(text.indexOf("\nنوع و تعداد پارکینگ : تعداد پارکینگ 2") !== -1, text)
        verify(text.indexOf("جهت") === -1, text)
        verify(text.indexOf("\nنورگیر عالی") !== -1, text)
        verify(text.indexOf("مبلغ وام") === -1, "a zero loan is not shared")
        verify(text.indexOf("\n\nمبلغ رهن :500,000,000 تومان\nمبلغ اجاره :25,000,000 تومان\n\n\n\n") !== -1, text)
        var tail = "\nاملاک آفتاب\nکارشناس : رضا کریمی\nتلفن همراه : 09121111111\nتلفن ثابت : 02188888888" +
                   "\nآدرس ایمیل : r@example.com\nتلگرام : aftab_channel\nآدرس دفتر : خیابان ولیعصر\nپاسخگویی تا ساعت ۲۲"
        compare(text.substring(text.length - tail.length), tail)
    }

    function test_archived_rent_file_reads_like_rent() {
        var text = Texts.shareText(file(10, ""), agent, cards(), "1402/07/15")
        verify(text.indexOf("#بایگانی_اجاره_آپارتمان\n") !== -1, text)
        verify(text.indexOf("#شناسه_فایل_") === -1, "no manual code, no line")
        verify(text.indexOf("مبلغ رهن :500,000,000 تومان") !== -1, text)
        verify(text.indexOf("مبلغ اجاره :25,000,000 تومان") !== -1, text)
    }

    function test_sale_file_by_a_manager() {
        var f = file(1, "")
        f.price.loan = 150000000
        var text = Texts.shareText(f, owner, cards(), "1402/07/15")
        verify(text.indexOf("#فروش_آپارتمان\n") !== -1, text)
        verify(text.indexOf("\nنورگیر عالی\nمبلغ وام : 150,000,000") !== -1, text)
        verify(text.indexOf("مبلغ متری :500,000,000 تومان\nمبلغ کل :25,000,000 تومان") !== -1, text)
        verify(text.indexOf("کارشناس : مدیر") !== -1, text)
        verify(text.indexOf("تلفن همراه") === -1, text)
    }

    function test_request_file_uses_request_titles() {
        var text = Texts.shareText(file(6, ""), agent, cards(), "")
        verify(text.indexOf("حداقل متراژ 120\n") !== -1, text)
        verify(text.indexOf("امکانات : متقاضی آسانسور,نو") !== -1, text)
        verify(text.indexOf("مبلغ رهن :") !== -1, text)
    }

    function test_without_city_or_cards() {
        var text = Texts.shareText({"trade_ref": 3, "property_ref": 53, "code": {"auto": 5}}, {}, [], "")
        verify(text.indexOf("#\n\n#کد_فایل_5\n") === 0, text)
        verify(text.indexOf("#مشارکت_زمین\n") !== -1, text)
        verify(text.indexOf("مبلغ بلاعوض :") !== -1, text)
    }
}
