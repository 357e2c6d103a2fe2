pragma Singleton
import QtQuick 2.15
import "texts.js" as Texts

QtObject {
    id: consts

    readonly property bool android: Qt.platform.os === "android"
    readonly property bool ios: Qt.platform.os === "ios"
    readonly property bool mac: Qt.platform.os === "osx"
    readonly property bool linux: Qt.platform.os === "linux"
    readonly property bool windows: Qt.platform.os === "windows"
    readonly property bool desktop: mac || linux || windows
    readonly property bool mobile: android || ios

    // This build stands in for the Windows desktop client, so Linux takes the Windows sizes.
    readonly property bool smallFonts: windows || linux
    readonly property int xSmallFont: smallFonts ? 8 : 14
    readonly property int smallFont: smallFonts ? 12 : 16
    readonly property int normalFont: smallFonts ? 14 : 20
    readonly property int largeFont: smallFonts ? 16 : 22
    readonly property int xLargeFont: smallFonts ? 18 : 24
    readonly property int xxLargeFont: smallFonts ? 20 : 26
    readonly property int xxxLargeFont: smallFonts ? 26 : 32

    readonly property int minimum_width: desktop ? 750 : 0
    readonly property int minimum_height: desktop ? 750 : 0
    // The widest a column of facts or form boxes grows on a large window: lines stay readable.
    readonly property int body_max_width: 1000

    readonly property string product_name: "Tavorlin"

    property var window: null
    property var drawer_setting: null
    property var drawer_note: null

    // True while any long task (first download, update, export) holds the pushes; screens read it.
    property bool initial_busy: false
    property var pending_notifies: []
    // The names of the holds taken, one entry per hold.
    property var holds: []

    function initial(win) {
        try {
            window = win
            if (!Settings.app_data.dbCreated) {
                if (Database.initialDatabase()) {
                    Settings.app_data.dbCreated = true
                    Settings.save()
                } else {
                    Toast.show("error initiating db ...")
                }
            }
        } catch (e) {
            Toast.error(e, "initial")
        }
    }

    function version_short2() {
        return "6 . 3 . 0"
    }

    function version() {
        var platform = ios ? "iOS" : (android ? "Android" : "Desktop")
        return product_name + platform + " " + version_short2()
    }

    function image(name) {
        return "qrc:/assets/images/" + name
    }

    function anim(name) {
        return "qrc:/assets/anim/" + name
    }

    // A line takes its direction from its first letter: one that starts with a Latin word ("Tavorlin
    // های کمد") would read left to right. These marks set the direction of a line as it is drawn
    // only; texts kept, sent or compared stay unmarked.
    function rtl(text) {
        return "\u200F" + (text === undefined || text === null ? "" : String(text))
    }

    // A number with a sign ("99+") drawn in a right-to-left screen keeps its sign after the digits.
    function ltr(text) {
        return "\u200E" + (text === undefined || text === null ? "" : String(text)) + "\u200E"
    }

    function fixNumbers(text) {
        return Texts.fixNumbers(text)
    }

    function textHas(text, part) {
        return Texts.textHas(text, part)
    }

    function sameText(a, b) {
        return Texts.sameText(a, b)
    }

    // A long task takes a hold while it runs; pushes wait until the last hold is released, so
    // one task ending never lets pushes in under another that still runs.
    function hold(name) {
        var taken = holds.slice()
        taken.push(String(name))
        holds = taken
        initial_busy = true
    }

    // Releases one hold of that name (none taken: nothing happens) and, when no hold is left,
    // replays the pushes that waited unless replay is false. True when that was the last hold.
    function release(name, replay) {
        var taken = holds.slice()
        var at = taken.indexOf(String(name))
        if (at === -1)
            return !initial_busy
        taken.splice(at, 1)
        holds = taken
        if (taken.length > 0)
            return false
        initial_busy = false
        if (replay !== false)
            applyPendingNotifies()
        return true
    }

    function isHeld(name) {
        return holds.indexOf(String(name)) !== -1
    }

    // The queue is taken before the replay, so a notice that fails cannot drop or repeat the others.
    function applyPendingNotifies() {
        var queued = pending_notifies
        pending_notifies = []
        for (var i = 0; i < queued.length; ++i) {
            try {
                console.log("pending_notify", Texts.logText(queued[i].event, queued[i].data))
                Notification.handleNotification(queued[i].event, queued[i].data)
            } catch (e) {
                Toast.error(e, "applyPendingNotifies")
            }
        }
    }

    function currency(value) {
        return Texts.currency(value)
    }

    function currency_remove(text) {
        return Texts.currency_remove(text)
    }

    function isFileImage(name) {
        var text = String(name)
        return !(text.endsWith("mp4") || text.endsWith("aac"))
    }

    function getThumbnail(name) {
        var text = String(name)
        var dot = text.lastIndexOf(".")
        var slash = text.lastIndexOf("/")
        return (dot > slash ? text.substring(0, dot) : text) + ".jpg"
    }

    function getZoomLevel(count) {
        var zoom = Settings.app_data ? Settings.app_data.tavorlin_zoom : undefined
        if (zoom === "medium")
            return count - 1
        if (zoom === "large")
            return count - 2
        return count
    }

    function set_timeout(parent, ms, callback) {
        return makeTimer(parent, ms, callback, false)
    }

    function set_interval(parent, ms, callback) {
        return makeTimer(parent, ms, callback, true)
    }

    function makeTimer(parent, ms, callback, repeat) {
        var timer = Qt.createQmlObject("import QtQuick 2.15; Timer {}", parent, "consts-timer")
        timer.interval = ms
        timer.repeat = repeat
        timer.triggered.connect(function () {
            try {
                callback()
            } catch (e) {
                Toast.error(e, "set_timeout")
            }
            if (!repeat)
                timer.destroy()
        })
        timer.start()
        return timer
    }

    function getTradeName(id) {
        return Texts.getTradeName(id)
    }

    function getPropertyName(id) {
        return Texts.getPropertyName(id)
    }

    function get_share_text(file) {
        try {
            var trade = Texts.reduceTrade(file.trade_ref)
            var cards = Database.getFormCards(trade, Number(file.property_ref))
            var date = Dates.timestamp_to_jdate(file.dates ? file.dates.register : 0, false)
            return Texts.shareText(file, Account.get(), cards, date)
        } catch (e) {
            Toast.error(e, "get_share_text")
            return ""
        }
    }

    function getFileAttrValue(file, parentKey, key, isToggle, isCurrency) {
        return Texts.getFileAttrValue(file, parentKey, key, isToggle, isCurrency)
    }

    function fix(value) {
        return Texts.fix(value)
    }

    function getPartPriceText(file) {
        return Texts.getPartPriceText(file)
    }

    function getWholePriceText(file) {
        return Texts.getWholePriceText(file)
    }

    function getHint(field, tradeType) {
        return Texts.getHint(field, tradeType)
    }

    function tradeTypeIs(tradeType) {
        return Texts.tradeTypeIs(tradeType)
    }

    function setAutoCodeTag(text) {
        return Texts.setAutoCodeTag(text)
    }

    // For every other text that a screen shows as rich text (notes, customer names).
    function escapeHtml(text) {
        return Texts.escapeHtml(text)
    }

    function manipulateColor(color, factor) {
        return Texts.manipulateColor(color, factor)
    }

    function shelf_header_color(color) {
        var colors = ["#880E4F", "#4A148C", "#0d47a1", "#004D40", "#33691E", "#BF360C", "#212121"]
        var c = Number(color)
        return c >= 1 && c <= 7 ? colors[c - 1] : "#880E4F"
    }

    function shelf_background_image(color) {
        var images = {0: 1, 1: 2, 2: 3, 6: 4, 9: 4, 4: 5, 7: 5, 5: 6, 8: 6, 3: 7, 10: 7}
        var n = images[Number(color)]
        return n === undefined ? 1 : n
    }

    function tavorlin_header_color(color) {
        var colors = ["#e53935", "#D81B60", "#8E24AA", "#5E35B1", "#3949AB", "#039BE5", "#039BE5",
                      "#00ACC1", "#00897B", "#43A047", "#7CB342", "#C0CA33", "#FDD835", "#FFB300",
                      "#FB8C00", "#F4511E", "#6D4C41", "#757575", "#546E7A", "#212121"]
        var c = Number(color)
        return c >= 1 && c <= 20 ? colors[c - 1] : "#1565c0"
    }

    function tavorlin_header_font_color(color) {
        return [8, 10, 11, 12, 13, 14, 15, 21].indexOf(Number(color)) !== -1 ? "#000000" : "#ffffff"
    }

    function getWallpaper(type) {
        var t = Number(type)
        if (t >= 0 && t <= 9 && t === Math.floor(t))
            return "img_wall_0" + t + ".jpg"
        if (t >= 10 && t <= 20 && t === Math.floor(t))
            return "img_wall_" + t + ".jpg"
        return "img_wall_18.jpg"
    }

    function getShelvesColor(color) {
        var c = Number(color)
        if (c >= 0 && c <= 9 && c === Math.floor(c))
            return "img_shelves0" + c + ".png"
        if (c === 10)
            return "img_shelves10.png"
        return "img_shelves00.png"
    }

    function getSignColor(color) {
        var c = Number(color)
        if (c >= 2 && c <= 7 && c === Math.floor(c))
            return "img_sign_0" + c + ".png"
        return "img_sign_01.png"
    }
}
