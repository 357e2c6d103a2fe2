import QtQuick 2.15
import QtTest 1.2
import "qrc:/templates/files/list/list.js" as L
import "qrc:/templates/files/list/reads.js" as Reads
import "qrc:/templates/map/map.js" as M

TestCase {
    name: "Listings"

    readonly property var file: ({"_id": "f1", "trade_ref": 1, "property_ref": 50, "status": {"pin": false},
                                  "customer": {"name_family": "<i>Ali</i> & co", "mobile_1": "0912<1>"},
                                  "price": {"price_1": 2000000, "price_2": 100000000}})

    function test_action_log_and_requests() {
        var log = L.logText("archive", file, "<script>", "1402/01/15 10:00")
        compare(log, "در تاریخ <b>1402/01/15 10:00</b> به نام <b>&lt;i&gt;Ali&lt;/i&gt; &amp; co</b> به شماره "
                + "<b>0912&lt;1&gt;</b> توسط <b>&lt;script&gt;</b> <font color=\"#8e24aa\">به Tavorlin بایگانی منتقل</font> شد.")
        compare(L.logText("", file, "u", "d"), "")

        // The picked archive day goes into every entry, not only the first.
        var rows = [{"index": 0, "file": file}, {"index": 4, "file": {"_id": "f2", "trade_ref": 3}},
                    {"index": 7, "file": {"_id": "f3", "trade_ref": 2}}]
        var r = L.actionRequest("archive", rows, {"userId": "u1", "userName": "n", "dateText": "d", "date": 1680000000000})
        compare(r.key, "trade_ref")
        compare(r.action.map(function (a) { return a.value }), [9, 11, 10])
        compare(r.action.map(function (a) { return a.date }), [1680000000000, 1680000000000, 1680000000000])
        compare(r.action.map(function (a) { return a.index }), [0, 4, 7])
        compare(L.actionRequest("unarchive", [{"index": 0, "file": {"_id": "x", "trade_ref": 12}}], {}).action[0].value, 4)
        compare(L.actionRequest("archiveDue", [{"index": 0, "file": {"_id": "x", "trade_ref": 10}}], {"date": 5}).action[0].value, 10)
        verify(L.actionRequest("pin", [{"index": 0, "file": file}], {"date": 5}).action[0].date === undefined)
        compare(L.actionRequest("delete", [], {}), null)

        compare(L.listEffect("status.delete", true, false), "update")
        compare(L.listEffect("status.delete", true, true), "remove")
        compare(L.listEffect("status.delete", false, false), "remove")
        compare(L.tagStatus(0, 1), -1)
        compare(L.tagStatus(-1, 1), 0)
        compare(L.tagStatus(0, 3), 2)
    }

    function test_menus_and_sorting() {
        var keys = function (e) { return e.map(function (x) { return x.key }) }
        compare(keys(L.menuEntries("normal", file, {"manager": true, "canEdit": true, "canDelete": true}, false)),
                ["select", "copy", "pin", "edit", "delete", "archive", "hashtag", "match", "send", "colleague", "history", "public"])
        compare(keys(L.menuEntries("normal", file, {"manager": false, "canEdit": false, "canDelete": false}, false)),
                ["copy", "pin", "hashtag", "match", "colleague", "public"])
        compare(L.menuEntries("normal", file, {}, false)[3].title, "متقاضی مرتبط")
        compare(keys(L.menuEntries("recycle", file, {"manager": true}, true)), ["deleteForever", "restore"])
        compare(keys(L.menuEntries("due", file, {"manager": true, "canEdit": true, "canDelete": true}, true)),
                ["edit", "delete", "unarchive", "archiveDue", "history", "match"])
        compare(L.menuKind("board", 9), "archived")
        compare(L.viewTitle("recycle", "ب"), "سطل آشغال  ب")
        compare(L.oldFilters(3000000000, undefined)[2].value.value_1, 0)
        compare(L.oldFilters(3000000000, "a1")[1].value, {"value_1": "0", "value_2": "370257000"})
        compare(L.oldCountText(100), "99+")

        var titles = function (f) { return f.map(function (x) { return x.title }) }
        compare(keys(L.sortFields(53, 1, 1)), ["_id", "auto_code", "area", "price_1", "price_2", "date"])
        compare(titles(L.sortFields(50, 2, 2)).slice(5, 7), ["مبلغ رهن", "مبلغ اجاره"])
        compare(titles(L.sortFields(50, 5, 3)).slice(5), ["سقف مبلغ خرید", "تاریخ ثبت"])

        verify(L.wantsNextPage(900, 400, 1450, true, false))
        verify(!L.wantsNextPage(900, 400, 1450, true, true))
        verify(!L.wantsNextPage(900, 400, 1450, false, false))
        verify(!L.wantsNextPage(100, 400, 1450, true, false))
    }

    // A card's code and price line: what was never given (0) is left out, label and all.
    function test_card_lines_data() {
        return [
            {"tag": "rent without a rent", "file": {"trade_ref": 2, "code": {"auto": 12}, "price": {"price_1": 5000000, "price_2": 0}}, "want": ["کد 12", "رهن 5,000,000"]},
            {"tag": "request without a price per metre", "file": {"trade_ref": 5, "code": {"auto": 12}, "price": {"price_2": 90000}}, "want": ["کد 12", "کل 90,000"]},
            {"tag": "draft without prices", "file": {"trade_ref": 1, "code": {"auto": 0}, "price": {"price_1": 0, "price_2": 0}}, "want": ["", ""]}
        ]
    }

    function test_card_lines(row) {
        compare([L.cardCode(row.file), L.cardPrices(row.file)], row.want)
    }

    function test_match_ranges() {
        var sale = L.matchOptions(file)
        compare(sale.tradeType, 5)
        compare(sale.filters, [{"key": "price.price_2", "value": {"value_1": "90000000", "value_2": "110000000"}}])
        // Rent: deposit 100,000,000 and rent 2,000,000 a month make 5,000,000; 10 % either way.
        var rent = L.matchOptions({"trade_ref": 14, "property_ref": 51, "price": {"price_1": 100000000, "price_2": 2000000}})
        compare(rent.tradeType, 2)
        compare(rent.propertyType, 51)
        compare(rent.filters, [{"key": "price.full_rent_price", "value": {"value_1": "4500000", "value_2": "5500000"}}])
    }

    function test_map_search() {
        compare(M.placeTitle({"district": "منطقه ۳", "suburb": "ونک", "neighbourhood": "ملاصدرا", "road": "شیراز"}),
                "ملاصدرا - شیراز")
        compare(M.placeTitle({"district": "منطقه ۳", "village": "ده", "road": "شیراز"}), "منطقه ۳ - ده")
        compare(M.geocodeUrl("", "x"), null)
        compare(M.places(404, "[]"), null)
        compare(M.places(200, "[]"), null)
        compare(M.places(200, "oops"), null)
        var box = M.searchBox(35.7, 51.4, 1000)
        fuzzyCompare(box.north - 35.7, 1000 / 6371009 * 180 / Math.PI, 1e-9)
        fuzzyCompare(35.7 - box.south, 1000 / 6371009 * 180 / Math.PI, 1e-9)
        verify(box.east > 51.4 && box.west < 51.4)
        var f = M.mapFilters([], box, -1)
        compare(f.map(function (i) { return i.key }), ["map.lat", "map.lng", "trade_ref"])
        compare(f[2].value, {"value_1": "1", "value_2": "4"})
        compare(M.mapFilters([], box, 2).length, 2)
    }

    // One read at a time: each answer reaches the screen that asked, a cancelled one nobody.
    function test_reads_one_at_a_time() {
        var started = []
        var got = []
        var db = {"fileListReady": {"connect": function (f) { db.answer = f }}}
        Reads.attach(db)
        var a = {}, b = {}
        Reads.read(a, function () { started.push("a") }, function (l) { got.push("a" + l.length) })
        Reads.read(b, function () { started.push("b") }, function (l) { got.push("b" + l.length) })
        Reads.read(a, function () { started.push("a2") }, function (l) { got.push("a2") })
        compare(started, ["a"])
        Reads.cancel(a)
        db.answer([1, 2])
        compare(started, ["a", "b"])
        db.answer([1])
        compare(got, ["b1"])
        verify(!Reads.pending(a) && !Reads.pending(b))
    }
}
