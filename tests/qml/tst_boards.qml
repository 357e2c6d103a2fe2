import QtQuick 2.15
import QtTest 1.2
import com 1.0
import "qrc:/templates/main/home.js" as Home
import "qrc:/templates/main/boardreads.js" as Reads

// The home and board screens' decisions, the shared-answer reads, and the shelf notice that
// places boards the server has just created.
TestCase {
    name: "Boards"

    // Answers each read when told to, like the pool does, with nothing to tell the answers apart.
    function fakeSignal() {
        var listeners = []
        return {"connect": function (f) { listeners.push(f) },
                "fire": function (value) { listeners.slice().forEach(function (f) { f(value) }) }}
    }
    property var fakeDb: ({
        "TavorlinListReady": fakeSignal(), "tavorlinCountsReady": fakeSignal(), "started": [],
        "getShelvesTavorlins": function (shelf, agent) { fakeDb.started.push("shelf:" + shelf) },
        "getAllTavorlins": function (shelf) { fakeDb.started.push("all:" + shelf) },
        "getTavorlinsExist": function () { fakeDb.started.push("exist") },
        "getTavorlinsCount": function (list) { fakeDb.started.push("count:" + list.length) }
    })

    function test_every_screen_and_dialog_compiles() {
        var paths = ["templates/main/Shelves.qml", "templates/main/ShelfAdd.qml", "templates/main/Tavorlins_List.qml",
                     "templates/main/Tavorlins_Shelf.qml", "templates/main/Tavorlins.qml",
                     "templates/main/Tavorlins_Add.qml", "templates/main/Tavorlins_Add_Form.qml",
                     "templates/main/dialog/TavorlinAdd.qml", "templates/main/dialog/TavorlinFilter.qml",
                     "templates/main/dialog/TavorlinAgentAccess.qml", "templates/main/dialog/ShelfAgentAccess.qml",
                     "templates/setting/dialogs/AgentTavorlinAccess.qml",
                     "templates/setting/dialogs/AgentShelvesAccess.qml", "templates/main/dialog/ShelvesList.qml",
                     "templates/main/dialog/ShelfSetting.qml", "templates/main/dialog/TavorlinSetting.qml",
                     "templates/main/dialog/TavorlinList.qml", "templates/main/dialog/Wallpaper.qml",
                     "templates/main/dialog/SearchType.qml", "templates/main/dialog/ShelfAdd.qml",
                     "com/UGridTavorlin.qml", "com/UHeaderTavorli.qml", "com/UHeaderShelf.qml",
                     "com/UFloatButtonShelves.qml", "com/dialog/DTavorliName.qml"]
        for (var i = 0; i < paths.length; ++i) {
            var c = Qt.createComponent("qrc:/" + paths[i])
            compare(c.status, Component.Ready, paths[i] + ": " + c.errorString())
        }
        compare(Defaults.tavorlins.length, 48)
        compare(Defaults.tavorlins[47], {"color": "48", "select": false})
    }

    function test_counts_apply_by_position_and_broken_boards_show_no_badge() {
        var boards = []
        for (var i = 0; i < 8; ++i)
            boards.push({"_id": "t" + i, "id": i + 1, "color": 3, "broken": i === 2})
        var model = Home.boardModel(boards, true, true)
        compare(model.length, 10)
        compare(model[8].color, -1000)
        compare(model[9].color, -2000)
        var counts = boards.map(function (b, k) { return {"count": 10 + k, "badge": k + 1} })
        var applied = Home.applyCounts(model, counts)
        compare(applied[0].count, 10)
        compare(applied[7].badge, 8)
        compare(applied[2].count, 12, "a broken board is still counted")
        compare(applied[2].badge, 0, "but shows no badge")
        compare([applied[8].count, applied[8].badge, applied[9].count, applied[9].badge], [0, 0, 0, 0])
        verify(Home.onlyExtras(Home.boardModel([], true, true)))
        verify(!Home.onlyExtras(model))
    }

    function test_move_ends_follow_the_direction_of_the_drag() {
        var list = [{"_id": "W"}, {"_id": "X"}, {"_id": "Y"}, {"_id": "Z"}]
        // Z to the front of X: the end is the board after it.
        compare(Home.moveEnds(Home.moved(list, 3, 1), 3, 1), {"start": "Z", "end": "X"})
        // W towards the end past Y: the end is the board before it.
        compare(Home.moveEnds(Home.moved(list, 0, 2), 0, 2), {"start": "W", "end": "Y"})
        compare(Home.moveEnds(list, 1, 1), null)
        // Shelves: only those between the two places get their index, or all when none has one.
        var shelves = [{"_id": "a", "position": 0}, {"_id": "b", "position": 0}, {"_id": "c", "position": 0}]
        compare(Home.shelfPositions(Home.moved(shelves, 2, 0), 2, 0).length, 3)
        var placed = [{"_id": "a", "position": 0}, {"_id": "b", "position": 1}, {"_id": "c", "position": 2},
                      {"_id": "d", "position": 3}]
        compare(Home.shelfPositions(Home.moved(placed, 1, 2), 1, 2), [{"_id": "c", "position": 1}, {"_id": "b", "position": 2}])
    }

    function test_choose_boards_and_access_send_only_the_changes() {
        var rows = [{"_id": "t1", "initial": true, "checked": false},
                    {"_id": "t2", "initial": false, "checked": true},
                    {"_id": "", "initial": false, "checked": true, "trade_type": 2, "property_type": 51, "color": 7},
                    {"_id": "t4", "initial": true, "checked": true}]
        var change = Home.shelfBoardsChange(rows, "m1")
        compare(change.tavorlin_remove, ["t1"])
        compare(change.tavorlin_add[0], {"tavorlin_id": "t2"})
        compare(change.tavorlin_add[1].tavorlin, {"user_id": "m1", "trade_id": 2, "property_id": 51, "color": 7})
        verify("tavorlin_id" in change.tavorlin_add[1], "the creation item names no id")
        compare(Home.tickDiff([{"id": "a", "initial": true, "checked": false}, {"id": "b", "initial": false, "checked": true}], "id"),
                {"add": ["b"], "remove": ["a"]})
    }

    function test_created_boards_are_placed_once_from_an_object_or_an_array() {
        var created = Home.createdBoards({"0": {"_id": "n1"}, "2": {"_id": "n2"}})
        compare(created.length, 2)
        compare(Home.shelfBoardsAdded([{"tavorlin_id": "t1"}, {"tavorlin": {}}, {"tavorlin_id": "n1"}], created),
                ["t1", "n1", "n2"])
        compare(Home.createdBoards([{"_id": "n3"}]).length, 1)
        compare(Home.createdBoards(null), [])
    }

    // A notice of the same change: the created boards are saved first, then placed.
    function test_shelf_notice_places_the_boards_it_created() {
        var calls = []
        var db = {
            "saveTavorlins": function (list) { calls.push(["save", list.map(function (b) { return b._id })]) },
            "changeShelvesTavorlins": function (shelf, add, remove, ts) { calls.push(["change", shelf, add, remove]) }
        }
        var saved = Notification.database
        Notification.database = db
        Notification.handleNotification("shelf_notify", {"timestamp": 9, "content": {"type": "shelf_tavorlin", "data": {
            "shelf_id": "s1", "tavorlin_add": [{"tavorlin": {"trade_id": 1}}, {"tavorlin_id": "t5"}],
            "tavorlin_remove": ["t0"], "tavorlins": [{"_id": "n7"}]}}})
        Notification.database = saved
        compare(calls, [["save", ["n7"]], ["change", "s1", ["t5", "n7"], ["t0"]]])
    }

    function test_old_files_list_carries_the_counted_filters() {
        var now = 1700000000000
        var options = Home.oldFilesOptions(now, "")
        compare(options.filters[0], {"key": "trade_ref", "value": {"value_1": "1", "value_2": "8"}})
        compare(options.filters[1].value, {"value_1": "0", "value_2": String(now - 2629743000)})
        compare(options.filters[2].value.value_1, "", "a manager's files are those without an agent")
        compare(Home.oldFilesOptions(now, "a7").filters[2].value.value_1, "a7")
        compare([Home.badgeText(0), Home.badgeText(99), Home.badgeText(100)], ["", "99", "99+"])
    }

    function test_filter_values_keep_their_bounds() {
        var price = {"key": "price_2", "parent_key": "price", "title": "قیمت کل", "filter_type": 2, "currency": true}
        compare(Home.rangeError(price, "3000", "3000"), Home.texts.rangeError)
        compare(Home.rangeError(price, "3000", "2000"), Home.texts.rangeError)
        compare(Home.rangeError(price, "3000", ""), "")
        compare(Home.rangeError(price, "", "5"), "")
        var item = Home.inputFilter(price, "1,500,000", "3000000", "")
        compare(item.key, "price.price_2")
        compare(item.value, {"value_1": "1500000", "value_2": "3000000"})
        compare(Home.filterTitle(price, "1500000", "3000000", null, "قیمت کل"), "قیمت کل از 1.5 میلیون تا 3 میلیون")
        compare(Home.filterTitle(price, "500", "", null, "قیمت کل"), "قیمت کل از 500")
        var area = {"key": "area", "parent_key": "meter", "title": "متراژ", "filter_type": 2, "currency": false}
        compare(Home.filterTitle(area, "", "120.5", null, "متراژ"), "متراژ تا 120.5")
        var date = {"key": "date", "parent_key": "date", "filter_type": 2}
        var jalali = function (ms) { return "J" + ms }
        compare(Home.filterTitle(date, "10", "", jalali, "تاریخ"), "تاریخ از J10")
        compare(Home.filterTitle(date, "", "20", jalali, "تاریخ"), "تاریخ تا J20")
        compare(Home.inputFilter(date, "10", "", "").key, "date")
    }

    function test_candidates_come_in_order_without_used_inputs() {
        var cards = [
            {"title": "", "inputs": [{"key": "area", "parent_key": "meter", "title": "متراژ", "filter": true},
                                     {"key": "desc", "parent_key": "info", "title": "توضیح", "filter": false}]},
            {"title": "نوع و تعداد پارکینگ", "stepper": {"key": "num_parking", "parent_key": "info", "title": "تعداد"},
             "toggles": [{"key": 7, "parent_key": "parking", "title": "مسقف"}]}
        ]
        var titles = Home.filterCandidates(cards, 5, []).map(function (c) { return c.title })
        compare(titles, ["تاریخ", "متراژ", "نام منطقه", "نوع پارکینگ", "نوع و تعداد پارکینگ", "برچسب", "کاربران بنگاه من"])
        var offer = Home.filterCandidates(cards, 1, ["date", "meter.area"]).map(function (c) { return c.title })
        compare(offer, ["نوع پارکینگ", "نوع و تعداد پارکینگ", "برچسب", "کاربران بنگاه من"])
        compare(Home.toggleFilter({"key": 7, "parent_key": "parking", "title": "مسقف"}),
                {"key": "parking", "value": {"value_1": "7", "value_2": ""}, "title": "مسقف"})
    }

    function test_search_by_code_messages() {
        compare(Home.codeError(false, ""), Home.texts.noCode)
        compare(Home.codeError(false, "0"), Home.texts.noCode)
        compare(Home.codeError(true, "0"), "")
        compare(Home.codeError(true, " "), Home.texts.noManualId)
        compare(Home.manualIdOptions("K12").filters, [{"key": "code.manual", "value": {"value_1": "K12", "value_2": ""}}])
    }

    // Three reads share one answer signal: each answer goes to the read in flight, and an answer to
    // a replaced read is dropped instead of filling another screen.
    function test_shared_answers_reach_only_their_own_read() {
        fakeDb.started = []
        var got = []
        var first = Reads.shelfBoards(fakeDb, "s1", "", function (l) { got.push(["shelf", l.length]) })
        var choose = Reads.allBoards(fakeDb, "s1", function (l) { got.push(["all", l.length]) })
        compare(fakeDb.started, ["shelf:s1"], "one read of the signal at a time")
        Reads.cancel(first)
        fakeDb.TavorlinListReady.fire([1, 2])
        compare(got, [], "the replaced read's answer is dropped")
        compare(fakeDb.started, ["shelf:s1", "all:s1"])
        fakeDb.TavorlinListReady.fire([1, 2, 3])
        compare(got, [["all", 3]])
        var counted = []
        Reads.counts(fakeDb, [{}, {}], function (c) { counted = c })
        fakeDb.tavorlinCountsReady.fire([{"count": 1, "badge": 0}, {"count": 2, "badge": 1}])
        compare(counted.length, 2)
        compare(Home.shelvesAfterNotice([{"_id": "a", "name": "x"}], "create", {"_id": "a", "name": "y", "color": 2}).length, 1)
        compare(Home.shelvesAfterNotice([{"_id": "a"}], "remove", {"_id": "a"}), [])
        compare(Home.shelvesAfterNotice([], "access", {}), null)
    }

    // A reply without content or result writes nothing and shows its message; offline nothing waits.
    function test_requests_apply_only_real_results() {
        var handlers = {}
        var shown = []
        var sockets = {"connected": true, "sent": [],
                       "on": function (n, f) { handlers[n] = f }, "off": function (n) { delete handlers[n] },
                       "send": function (n, c) { sockets.sent.push(n) }}
        var done = 0, failed = 0
        var show = function (t) { shown.push(t) }
        verify(Home.request(sockets, show, "shelf_edit", {}, null, true, function () { done++ }, function () { failed++ }))
        handlers["shelf_edit_result"]({"content": {"result": null}, "message": {"msg": "نشد"}})
        compare([done, failed], [0, 1])
        compare(shown, ["نشد"])
        compare(Object.keys(handlers).length, 0, "the handlers go with the answer")
        Home.request(sockets, show, "shelf_edit", {}, null, true, function (r) { done++ }, function () { failed++ })
        handlers["shelf_edit_result"]({"content": {"result": {"_id": "s1"}}})
        compare([done, failed], [1, 1])
        Home.request(sockets, show, "shelf_edit", {}, null, true, function () { done++ }, function () { failed++ })
        handlers["shelf_edit_result_error"]()
        compare([done, failed], [1, 2])
        sockets.connected = false
        verify(!Home.request(sockets, show, "shelf_edit", {}, null, true, function () { done++ }))
        compare(Object.keys(handlers).length, 0)
    }
}
