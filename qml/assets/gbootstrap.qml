pragma Singleton
import QtQuick 2.15

// Responsive widths by device class, after the twelve-column grid.
Item {
    id: bootstrap

    readonly property int phone: 1
    readonly property int tablet: 2
    readonly property int laptop: 3
    readonly property int desktop: 4

    readonly property real col1: 100 / 12
    readonly property real col2: 200 / 12
    readonly property real col3: 300 / 12
    readonly property real col4: 400 / 12
    readonly property real col5: 500 / 12
    readonly property real col6: 600 / 12
    readonly property real col7: 700 / 12
    readonly property real col8: 800 / 12
    readonly property real col9: 900 / 12
    readonly property real col10: 1000 / 12
    readonly property real col11: 1100 / 12
    readonly property real col12: 100

    readonly property real windowWidth: Consts.window ? Consts.window.width : 0
    readonly property int device: deviceOf(windowWidth)

    function deviceOf(w) {
        if (w < 768)
            return phone
        if (w < 992)
            return tablet
        if (w < 1200)
            return laptop
        return desktop
    }

    // list: [{dev, col}], the first entry for the current device class wins.
    function responsive(list) {
        for (var i = 0; i < list.length; ++i) {
            if (list[i].dev === device)
                return windowWidth * list[i].col / 100
        }
        return windowWidth
    }
}
