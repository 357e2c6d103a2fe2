import QtQuick 2.15
import QtQuick.Controls 2.15
import QtLocation 5.15
import QtPositioning 5.15
import com 1.0
import "map.js" as M
import "../files/list/list.js" as L

// The map with the place search, the "more" search box and the files as coloured markers.
// The map service and the geocoding address come from the settings.
Page {
    id: mapPage

    property var markers: []              // files with "_id", "trade_ref" and "map" {lat, lng}
    property real distance: 0             // of the "more" search, in metres; 0 until pressed
    property var places: []
    property string message: ""
    property bool pickMode: false
    property var plugin: null
    readonly property var conf: M.settings(Settings.app_data)
    readonly property var map: mapLoader.item
    property int painted: 0
    // Offline, or the map service failed: said over the map.
    readonly property string notice: M.notice(Sockets.connected, plugin !== null,
                                              map !== null && map.error !== Map.NoError, map ? map.errorString : "")

    signal regionChanged(var box)
    signal markerClicked(var file)
    signal pointPicked(real lat, real lng)

    objectName: "mapPage"

    // The plug-in is made from the settings before the map, which takes it once.
    function makePlugin() {
        var params = ""
        if (conf.map_plugin === "osm")
            params = "PluginParameter { name: \"osm.mapping.custom.host\"; value: " + JSON.stringify(conf.map_tile_host)
                    + " } PluginParameter { name: \"osm.mapping.providersrepository.disabled\"; value: true }"
                    + " PluginParameter { name: \"osm.mapping.highdpi_tiles\"; value: true }"
        return Qt.createQmlObject("import QtLocation 5.15; Plugin { name: " + JSON.stringify(conf.map_plugin) + "; "
                                  + params + " }", mapPage, "mapPlugin")
    }

    function visibleBox() {
        if (!map)
            return null
        var r = map.visibleRegion.boundingGeoRectangle()
        if (!r.isValid)
            return null
        return {"south": r.bottomLeft.latitude, "north": r.topRight.latitude,
                "west": r.bottomLeft.longitude, "east": r.topRight.longitude}
    }

    // Each press doubles the distance around the centre; the first starts from the visible half height.
    function more() {
        if (!map)
            return
        var c = map.center
        if (distance <= 0) {
            var b = visibleBox()
            distance = b ? Math.max(100, (b.north - b.south) / 2 * Math.PI / 180 * M.earthRadius) : 1000
        }
        distance *= 2
        regionChanged(M.searchBox(c.latitude, c.longitude, distance))
    }

    function searchPlace(term) {
        try {
            places = []
            message = ""
            var url = M.geocodeUrl(conf.geocode_host, term)
            if (!url || String(term).trim() === "") {
                message = M.noResult
                return
            }
            var xhr = new XMLHttpRequest()
            xhr.onreadystatechange = function () {
                if (xhr.readyState !== XMLHttpRequest.DONE)
                    return
                var found = M.places(xhr.status, xhr.responseText)
                places = found || []
                message = found ? "" : M.noResult
            }
            xhr.open("GET", url)
            for (var i = 0; i < M.geocodeHeaders.length; ++i)
                xhr.setRequestHeader(M.geocodeHeaders[i][0], M.geocodeHeaders[i][1])
            xhr.send()
        } catch (e) {
            Toast.error(e, "searchPlace")
        }
    }

    function choosePlace(i) {
        var p = places[i]
        if (map && p)
            map.center = QtPositioning.coordinate(p.lat, p.lon)
        places = []
    }

    function markerAt(x, y) {
        if (!map)
            return null
        var best = null
        var bestD = 12 * 12
        for (var i = 0; i < markers.length; ++i) {
            var f = markers[i]
            if (!f.map)
                continue
            var p = map.fromCoordinate(QtPositioning.coordinate(f.map.lat, f.map.lng), false)
            var d = (p.x - x) * (p.x - x) + (p.y - y) * (p.y - y)
            if (d < bestD) {
                bestD = d
                best = f
            }
        }
        return best
    }

    onMarkersChanged: overlay.requestPaint()

    Loader {
        id: mapLoader
        anchors.fill: parent
        active: mapPage.plugin !== null
        sourceComponent: Map {
            id: theMap
            plugin: mapPage.plugin
            center: QtPositioning.coordinate(35.6892, 51.3890)
            zoomLevel: 12
            copyrightsVisible: false

            // The settings' tile address is the plug-in's custom map type, the last it offers.
            Component.onCompleted: {
                if (mapPage.conf.map_plugin === "osm" && supportedMapTypes.length > 0)
                    activeMapType = supportedMapTypes[supportedMapTypes.length - 1]
            }
            onCenterChanged: { mapPage.distance = 0; settle.restart(); overlay.requestPaint() }
            onZoomLevelChanged: { mapPage.distance = 0; settle.restart(); overlay.requestPaint() }
            onWidthChanged: settle.restart()
            onHeightChanged: settle.restart()
        }
    }

    Timer {
        id: settle
        interval: 300
        onTriggered: {
            var b = mapPage.visibleBox()
            if (b)
                mapPage.regionChanged(b)
        }
    }

    // Thousands of markers are painted at once rather than made one item each.
    Canvas {
        id: overlay
        objectName: "markerOverlay"
        anchors.fill: parent
        renderTarget: Canvas.Image
        onPaint: {
            var ctx = getContext("2d")
            ctx.reset()
            var m = mapPage.map
            if (m && mapPage.markers.length > 0) {
                // The map is Mercator: x follows longitude and y the Mercator latitude linearly, so
                // two projected corners place every marker without asking the map for each.
                var r = m.visibleRegion.boundingGeoRectangle()
                var a = m.fromCoordinate(r.topLeft, false)
                var b = m.fromCoordinate(r.bottomRight, false)
                var sx = (b.x - a.x) / (r.bottomRight.longitude - r.topLeft.longitude)
                var ya = M.mercator(r.topLeft.latitude)
                var sy = (b.y - a.y) / (M.mercator(r.bottomRight.latitude) - ya)
                var groups = M.markerGroups(mapPage.markers)
                for (var g in groups) {
                    ctx.beginPath()
                    ctx.fillStyle = L.tradeColor(g)
                    var list = groups[g]
                    for (var i = 0; i < list.length; ++i) {
                        var x = a.x + (list[i].lng - r.topLeft.longitude) * sx
                        var y = a.y + (M.mercator(list[i].lat) - ya) * sy
                        if (x < -8 || y < -8 || x > width + 8 || y > height + 8)
                            continue
                        ctx.moveTo(x + 6, y)
                        ctx.arc(x, y, 6, 0, 2 * Math.PI)
                    }
                    ctx.fill()
                }
            }
            mapPage.painted += 1
        }

        MouseArea {
            anchors.fill: parent
            propagateComposedEvents: true
            onClicked: {
                var f = mapPage.markerAt(mouse.x, mouse.y)
                if (f)
                    mapPage.markerClicked(f)
                else
                    mouse.accepted = false
            }
            onPressed: mouse.accepted = mapPage.markerAt(mouse.x, mouse.y) !== null
        }
    }

    Rectangle {
        anchors.centerIn: parent
        visible: mapPage.pickMode
        width: 12; height: 12; radius: 6
        color: "#e53935"
    }

    Column {
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.margins: 10
        spacing: 4

        Row {
            anchors.left: parent.left
            spacing: 6
            TextField {
                id: term
                objectName: "placeSearch"
                width: 280
                placeholderText: "جستجوی مکان"
                onAccepted: mapPage.searchPlace(text)
            }
            Button {
                text: "جستجو"
                onClicked: mapPage.searchPlace(term.text)
            }
            Button {
                objectName: "moreButton"
                text: "بیشتر"
                onClicked: mapPage.more()
            }
            Button {
                visible: mapPage.pickMode
                text: "انتخاب"
                onClicked: if (mapPage.map) mapPage.pointPicked(mapPage.map.center.latitude, mapPage.map.center.longitude)
            }
        }

        Label {
            anchors.left: parent.left
            objectName: "placeMessage"
            visible: mapPage.message !== ""
            text: mapPage.message
            padding: 6
            background: Rectangle { color: "#ffffff"; radius: 4 }
        }

        Repeater {
            model: mapPage.places
            ItemDelegate {
                anchors.left: parent.left
                width: 360
                text: modelData.title
                contentItem: Label { text: modelData.title; textFormat: Text.PlainText }
                background: Rectangle { color: "#ffffff" }
                onClicked: mapPage.choosePlace(index)
            }
        }
    }

    Label {
        objectName: "mapNotice"
        anchors.bottom: parent.bottom
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottomMargin: 64
        width: Math.min(implicitWidth, parent.width - 24)
        visible: mapPage.notice !== ""
        text: mapPage.notice
        textFormat: Text.PlainText
        wrapMode: Text.WordWrap
        horizontalAlignment: Text.AlignHCenter
        padding: 10
        color: "#ffffff"
        background: Rectangle { color: "#c62828"; radius: 6; opacity: 0.9 }
    }

    Component.onCompleted: plugin = makePlugin()
}
