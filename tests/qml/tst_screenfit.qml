import QtQuick 2.15
import QtTest 1.2
import "qrc:/window.js" as Fit
import "qrc:/com/menuplace.js" as Place
import "qrc:/com/rowsync.js" as RowSync

TestCase {
    name: "ScreenFit"

    function test_window_inside_the_free_area() {
        // A 1366 x 768 laptop: the minimum height fits, the window is centred.
        compare(Fit.place({"x": 0, "y": 0, "width": 1366, "height": 768}, 1366, 768, 750, 750),
                {"x": 205, "y": 9, "width": 956, "height": 750, "minimumWidth": 750, "minimumHeight": 750})
        // The same with a 40-pixel panel: the window takes the height there is, from its top.
        compare(Fit.place({"x": 0, "y": 0, "width": 1366, "height": 728}, 1366, 768, 750, 750),
                {"x": 205, "y": 0, "width": 956, "height": 728, "minimumWidth": 750, "minimumHeight": 728})
        // A large screen with a dock on the left: 70 % of the screen, centred in what is free.
        compare(Fit.place({"x": 64, "y": 27, "width": 1856, "height": 1053}, 1920, 1080, 750, 750),
                {"x": 320, "y": 175, "width": 1344, "height": 756, "minimumWidth": 750, "minimumHeight": 750})
        // The window manager's title bar counts: it stays on the screen as well.
        compare(Fit.place({"x": 0, "y": 0, "width": 1366, "height": 768}, 1366, 768, 750, 750,
                          {"left": 1, "top": 20, "right": 1, "bottom": 1}),
                {"x": 205, "y": 20, "width": 956, "height": 747, "minimumWidth": 750, "minimumHeight": 747})
        // No screen known: the minimum size.
        compare(Fit.placeOn({}, 750, 750).height, 750)
        compare(Fit.placeOn({"x": 0, "y": 0, "width": 800, "height": 600}, 750, 750).minimumHeight, 600)
    }

    function test_menu_beside_its_button() {
        var win = {"width": 1000, "height": 700}
        var size = {"width": 200, "height": 300}
        // Right to left: right edges lined up, below the button.
        compare(Place.place({"x": 500, "y": 100, "width": 40, "height": 40}, size, win, true), {"x": 340, "y": 140})
        compare(Place.place({"x": 500, "y": 100, "width": 40, "height": 40}, size, win, false), {"x": 500, "y": 140})
        // No room below: above it; no room to the left: lined up the other way.
        compare(Place.place({"x": 20, "y": 600, "width": 40, "height": 40}, size, win, true), {"x": 20, "y": 300})
        // From the pointer near the bottom right corner, leftwards and pushed inside.
        compare(Place.place({"x": 990, "y": 650, "width": 0, "height": 0}, size, win, true), {"x": 790, "y": 350})
        // No room under nor over the button: at its side, leftwards, as high up as it fits.
        compare(Place.place({"x": 500, "y": 350, "width": 40, "height": 40}, {"width": 200, "height": 500}, win, true),
                {"x": 300, "y": 196})
        // Taller than the window: from the top margin, as tall as it can be.
        compare(Place.place({"x": 500, "y": 100, "width": 40, "height": 40}, {"width": 200, "height": 900}, win, true).y, 4)
    }

    ListModel { id: rows }

    function keys() {
        var k = []
        for (var i = 0; i < rows.count; ++i)
            k.push(rows.get(i).key)
        return k.join(",")
    }

    function test_rows_change_in_place() {
        rows.clear()
        RowSync.assign(rows, [{"_id": "a", "t": 1}, {"_id": "b", "t": 1}, {"_id": "c", "t": 1}])
        compare(keys(), "a,b,c")
        var changes = 0
        var counter = function () { changes += 1 }
        rows.rowsRemoved.connect(counter)
        rows.rowsInserted.connect(counter)
        rows.modelReset.connect(counter)
        // One changed row is rewritten, nothing removed or inserted.
        RowSync.assign(rows, [{"_id": "a", "t": 1}, {"_id": "b", "t": 2}, {"_id": "c", "t": 1}])
        compare(changes, 0)
        compare(JSON.parse(rows.get(1).json).t, 2)
        RowSync.assign(rows, [{"_id": "c", "t": 1}, {"_id": "a", "t": 1}, {"_id": "d", "t": 1}])
        compare(keys(), "c,a,d")
        RowSync.assign(rows, [])
        compare(rows.count, 0)
    }
}
