import QtQuick 2.15
import QtTest 1.2
import com 1.0

// The stand-in database answers for the real one: each of its slots is a slot of the database
// object, and each slot the code it stands in for calls is there, so a handler can never fail on
// a slot the stand-in lacks (and pass a test that expects it to fail).
TestCase {
    name: "StandIn"

    StandInDatabase { id: standIn }
    AccountStore { id: accounts }

    // What the stand-ins have for the tests themselves.
    readonly property var helpers: ["reset", "record", "slots", "callsOf", "fail", "report", "later", "now",
                                    "answer", "add", "full", "find"]
    readonly property var code: ["qrc:/assets/ginitial.qml", "qrc:/assets/gupdate.qml", "qrc:/assets/gnotify.qml",
                                 "qrc:/assets/gaccount.qml", "qrc:/templates/main/dialog/Syncronise.qml",
                                 "qrc:/templates/login/Index.qml", "qrc:/templates/SplashDesktop.qml"]

    // Methods and signals, less the change signals of an object's own properties.
    function methods(o) {
        var out = []
        for (var k in o)
            if (typeof o[k] === "function" && !(/Changed$/.test(k) && k.slice(0, -7) in o))
                out.push(k)
        return out
    }

    function source(url) {
        var xhr = new XMLHttpRequest()
        xhr.open("GET", url, false)
        xhr.send()
        return xhr.responseText
    }

    // Slots called by name on the database (directly or as `database`/`db()`), and the slots and
    // signals the download and update steps name in their tables.
    function called(text) {
        var out = []
        var patterns = [/\b(?:database|db\(\)|Database)\.([A-Za-z_]\w*)\s*\(/g, /"(?:save|saved)":\s*"(\w+)"/g]
        patterns.forEach(function (p) {
            var m
            while ((m = p.exec(text)) !== null)
                if (out.indexOf(m[1]) < 0)
                    out.push(m[1])
        })
        return out
    }

    function test_the_stand_in_has_the_real_slots_the_code_calls() {
        var real = Qt.createQmlObject("import com 1.0; DatabaseIO {}", this)
        var realSlots = methods(real)
        real.destroy()
        verify(realSlots.indexOf("deleteFilesByFilter") >= 0 && realSlots.indexOf("filesSaved") >= 0)
        ;[standIn, accounts].forEach(function (o) {
            methods(o).forEach(function (m) {
                verify(helpers.indexOf(m) >= 0 || realSlots.indexOf(m) >= 0, m + " is no slot of the database object")
            })
        })
        var own = methods(standIn)
        code.forEach(function (url) {
            var names = called(source(url))
            verify(names.length > 0, url)
            names.forEach(function (name) {
                verify(realSlots.indexOf(name) >= 0, url + " calls " + name + ", which the database object lacks")
                verify(own.indexOf(name) >= 0, url + " calls " + name + ", which the stand-in lacks")
            })
        })
    }
}
