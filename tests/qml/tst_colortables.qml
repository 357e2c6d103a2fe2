import QtQuick 2.15
import QtTest 1.2
import com 1.0

TestCase {
    name: "ColourTables"

    Image { id: probe; asynchronous: false }

    function resolves(name) {
        probe.source = ""
        probe.source = Consts.image(name)
        return probe.status === Image.Ready
    }

    function test_every_image_name_resolves() {
        var names = {}
        for (var v = -3; v <= 25; ++v) {
            names[Consts.getWallpaper(v)] = true
            names[Consts.getShelvesColor(v)] = true
            names[Consts.getSignColor(v)] = true
        }
        names[Consts.getWallpaper(undefined + 1)] = true
        var count = 0
        for (var name in names) {
            verify(resolves(name), name + " is missing")
            ++count
        }
        compare(count, 21 + 11 + 7)
    }

    function test_image_names() {
        compare(Consts.getWallpaper(17 + 1), "img_wall_18.jpg")
        compare(Consts.getWallpaper(3), "img_wall_03.jpg")
        compare(Consts.getWallpaper(20), "img_wall_20.jpg")
        compare(Consts.getWallpaper(21), "img_wall_18.jpg")
        compare(Consts.getShelvesColor(0), "img_shelves00.png")
        compare(Consts.getShelvesColor(10), "img_shelves10.png")
        compare(Consts.getShelvesColor(11), "img_shelves00.png")
        compare(Consts.getSignColor(1), "img_sign_01.png")
        compare(Consts.getSignColor(7), "img_sign_07.png")
        compare(Consts.getSignColor(8), "img_sign_01.png")
    }

    function test_board_colours() {
        compare(Consts.tavorlin_header_color(0), "#1565c0")
        compare(Consts.tavorlin_header_color(21), "#1565c0")
        compare(Consts.tavorlin_header_color(1), "#e53935")
        compare(Consts.tavorlin_header_color(20), "#212121")
        compare(Consts.tavorlin_header_font_color(21), "#000000")
        compare(Consts.tavorlin_header_font_color(0), "#ffffff")
        compare(Consts.tavorlin_header_font_color(13), "#000000")
        compare(Consts.tavorlin_header_font_color(9), "#ffffff")
    }

    function test_shelf_colours() {
        compare(Consts.shelf_header_color(3), "#0d47a1")
        compare(Consts.shelf_header_color(0), "#880E4F")
        compare(Consts.shelf_header_color(8), "#880E4F")
        var images = {0: 1, 1: 2, 2: 3, 3: 7, 4: 5, 5: 6, 6: 4, 7: 5, 8: 6, 9: 4, 10: 7, 11: 1, "-1": 1}
        for (var k in images)
            compare(Consts.shelf_background_image(Number(k)), images[k], "shelf image of " + k)
    }

    function test_look_tables() {
        compare(Colors.blue_50, "#e3f2fd")
        compare(Colors.blue_500, "#2196F3")
        compare(Colors.gray_600, "#757575")
        verify(Qt.colorEqual(Themes.medium, Colors.blue_100))
        verify(Qt.colorEqual(Themes.dark, Colors.blue_800))
        compare(Icons.abTesting, "F01C9")
    }

    function test_font_families_are_loaded() {
        var families = Qt.fontFamilies()
        var names = [Fonts.app, Fonts.light, Fonts.dn, Fonts.dnlight, Fonts.icon]
        for (var i = 0; i < names.length; ++i)
            verify(families.indexOf(names[i]) !== -1, names[i] + " is not loaded")
    }
}
