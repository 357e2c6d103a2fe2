import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "../../map"
import "../../map/map.js" as M
import "../list/reads.js" as Reads

// The files inside the map's visible region (or the "more" box), all at once, as markers.
Page {
    id: umap

    property var tradeType: -1
    property var propertyType: -1
    property var filters: []
    property int chosenTrade: Number(tradeType)
    property bool loading: false
    property int generation: 0
    property double askedAt: 0
    property double shownMs: 0
    // The region the markers are of, read again once the files changed.
    property var shownBox: null
    readonly property alias markers: view.markers
    readonly property alias mapView: view

    objectName: "fileMap"
    readonly property bool ownTitleBar: true
    title: "نقشه"
    // Escape leaves as the back button does, wherever the focus is inside the map screen.
    focus: true
    Keys.onEscapePressed: goBack()
    StackView.onActivated: forceActiveFocus()

    function goBack() {
        Stacks.leave(umap)
    }

    function search(box) {
        shownBox = box
        generation += 1
        var gen = generation
        loading = true
        askedAt = Date.now()
        var items = M.mapFilters(filters, box, chosenTrade)
        Reads.attach(Database)
        Reads.read(umap, function () {
            Database.getMapFiles(chosenTrade, Number(propertyType), items)
        }, function (list) {
            if (gen !== generation)
                return
            loading = false
            view.markers = list
            shownMs = Date.now() - askedAt
        })
    }

    header: ToolBar {
        Row {
            anchors.fill: parent
            spacing: 8
            ToolButton {
                objectName: "mapBack"
                text: "بازگشت"
                onClicked: umap.goBack()
            }
            Label {
                anchors.verticalCenter: parent.verticalCenter
                text: umap.title
                font.pointSize: 13
            }
        }
    }

    UFilesWatch {
        seen: umap.visible
        onRefresh: if (umap.shownBox) umap.search(umap.shownBox)
    }

    GoogleMap {
        id: view
        anchors.fill: parent
        onRegionChanged: umap.search(box)
        onMarkerClicked: Templates.open(umap, "files/FileDetail.qml", {"fileId": file._id, "summary": file})
    }

    ComboBox {
        objectName: "mapTrade"
        anchors.bottom: parent.bottom
        anchors.right: parent.right
        anchors.margins: 12
        width: 200
        textRole: "title"
        model: [{"key": -1, "title": "همه"}].concat(Database.getTradeTypes().filter(function (t) { return t.key <= 4 }))
        onActivated: {
            umap.chosenTrade = Number(model[index].key)
            var b = view.visibleBox()
            if (b)
                umap.search(b)
        }
    }

    BusyIndicator {
        anchors.centerIn: parent
        running: umap.loading
        visible: running
    }

    Component.onDestruction: Reads.cancel(umap)
}
