import QtQuick 2.15
import QtTest 1.2
import com 1.0
import "qrc:/assets/texts.js" as Texts

TestCase {
    name: "Consts"

    function test_fix_numbers() {
        compare(Consts.fixNumbers("۱۲۳"), "123")
        compare(Consts.fixNumbers("١٢٣"), "123")
        compare(Consts.fixNumbers("کد ۰۹۱۲-٤٥ abc"), "کد 0912-45 abc")
        compare(Consts.fixNumbers(42), 42)
        compare(Consts.fixNumbers(null), null)
    }

    function test_currency_round_trip() {
        compare(Consts.currency(1234567), "1,234,567")
        compare(Consts.currency(999), "999")
        compare(Consts.currency(1000), "1,000")
        compare(Consts.currency(-1234567), "-1,234,567")
        compare(Consts.currency("۲۵۰۰۰۰۰"), "2,500,000")
        compare(Consts.currency(1234.5), "1,234.5")
        var values = [0, 7, 12, 999, 1000, 65536, 1234567, 123456789012, -4000, 1234.5]
        for (var i = 0; i < values.length; ++i)
            compare(Consts.currency_remove(Consts.currency(values[i])), String(values[i]))
    }

    function test_get_hint_matrix() {
        var price1 = {"parent_key": "price", "key": "price_1", "title": "قیمت هر متر", "request_title": "سقف قیمت هر متر"}
        var price2 = {"parent_key": "price", "key": "price_2", "title": "قیمت کل", "request_title": "سقف قیمت کل"}
        var room = {"parent_key": "info", "key": "room", "title": "تعداد اتاق", "request_title": "حداقل اتاق"}
        // trade type: [price_1, price_2, room]
        var expected = {
            1: ["قیمت هر متر", "قیمت کل", "تعداد اتاق"],
            2: ["مبلغ رهن", "مبلغ اجاره", "تعداد اتاق"],
            3: ["قیمت هر متر", "قیمت کل", "تعداد اتاق"],
            4: ["قیمت هر متر", "قیمت کل", "تعداد اتاق"],
            5: ["سقف قیمت هر متر", "سقف قیمت کل", "حداقل اتاق"],
            6: ["سقف مبلغ رهن", "سقف مبلغ اجاره", "حداقل اتاق"],
            7: ["سقف قیمت هر متر", "سقف مبلغ مشارکت", "حداقل اتاق"],
            8: ["سقف قیمت هر متر", "سقف قیمت کل", "حداقل اتاق"]
        }
        for (var t = 1; t <= 16; ++t) {
            var row = expected[t > 8 ? t - 8 : t]
            compare(Consts.getHint(price1, t), row[0], "price_1 of trade " + t)
            compare(Consts.getHint(price2, t), row[1], "price_2 of trade " + t)
            compare(Consts.getHint(room, t), row[2], "room of trade " + t)
        }
    }

    function test_trade_classes_and_price_words() {
        var classes = {1: 1, 4: 1, 9: 1, 12: 1, 2: 2, 10: 2, 5: 3, 8: 3, 13: 3, 16: 3, 6: 4, 14: 4,
                       3: 5, 7: 5, 11: 5, 15: 5, 0: 0, 17: 0}
        for (var t in classes)
            compare(Consts.tradeTypeIs(Number(t)), classes[t], "class of " + t)
        compare(Consts.getPartPriceText({"trade_ref": 10}), "رهن")
        compare(Consts.getWholePriceText({"trade_ref": 14}), "اجاره")
        compare(Consts.getPartPriceText({"trade_ref": 7}), "بلاعوض")
        compare(Consts.getWholePriceText({"trade_ref": 11}), "قرض الحسنه")
        compare(Consts.getPartPriceText({"trade_ref": 1}), "متری")
        compare(Consts.getWholePriceText({"trade_ref": 9}), "کل")
        compare(Consts.getTradeName(10), "بایگانی اجاره")
        compare(Consts.getTradeName(17), "")
        compare(Consts.getPropertyName(65), "سوله")
        compare(Consts.getPropertyName(66), "")
    }

    function test_file_values() {
        var file = {"parking": "3,13,", "wc": "13,", "price": {"price_1": 2500000, "loan": 0}, "info": {"desc": ""}}
        compare(Consts.getFileAttrValue(file, "parking", "3", true), "true")
        compare(Consts.getFileAttrValue(file, "parking", 13, true), "true")
        // "13," holds the key 13, not the key 3.
        compare(Consts.getFileAttrValue(file, "wc", "3", true), "")
        compare(Consts.getFileAttrValue(file, "price", "price_1", false, true), "2,500,000")
        compare(Consts.getFileAttrValue(file, "price", "price_1", false, false), "2500000")
        compare(Consts.getFileAttrValue(file, "price", "loan", false, false), "0")
        compare(Consts.getFileAttrValue(file, "price", "price_2", false, false), "")
        compare(Consts.getFileAttrValue(file, "meter", "area", false, false), "")
        compare(Consts.fix("12.6"), "13")
        compare(Consts.fix(80), "80")
        compare(Consts.fix("1,200"), "1,200")
    }

    function test_auto_code_links() {
        var link = "<a href=\"1203\" style=\"color:#2196F3;text-decoration:none;\">#1203</a>"
        compare(Consts.setAutoCodeTag("فایل #1203 دیده شد"), "فایل " + link + " دیده شد")
        compare(Consts.setAutoCodeTag("فایل #۱۲۰۳"), "فایل " + link)
        compare(Consts.setAutoCodeTag("#تست و #"), "#تست و #")
        compare(Consts.setAutoCodeTag(""), "")
    }

    function test_auto_code_escapes_the_text() {
        var out = Consts.setAutoCodeTag("<img src=x onerror=alert(1)> & \"q\" #12<b>")
        verify(out.indexOf("<img") === -1, out)
        verify(out.indexOf("<b>") === -1, out)
        verify(out.indexOf("&lt;img src=x onerror=alert(1)&gt; &amp; &quot;q&quot; ") === 0, out)
        verify(out.indexOf("<a href=\"12\"") !== -1, out)
        compare(Consts.escapeHtml("<a href='x'>"), "&lt;a href=&#39;x&#39;&gt;")
    }

    function test_manipulate_color() {
        compare(Consts.manipulateColor("#102030", 0.5), "#081018")
        compare(Consts.manipulateColor("#102030", 1), "#102030")
        compare(Consts.manipulateColor("#80c0ff", 2), "#ffffff")
    }

    function test_file_names() {
        verify(Consts.isFileImage("a/b.jpg"))
        verify(!Consts.isFileImage("clip.mp4"))
        verify(!Consts.isFileImage("voice.aac"))
        compare(Consts.getThumbnail("media/clip.mp4"), "media/clip.jpg")
        compare(Consts.image("x.png"), "qrc:/assets/images/x.png")
        compare(Consts.anim("a.json"), "qrc:/assets/anim/a.json")
        compare(Consts.version_short2(), "6 . 3 . 0")
        verify(Consts.version().indexOf(" 6 . 3 . 0") > 0)
    }
}
