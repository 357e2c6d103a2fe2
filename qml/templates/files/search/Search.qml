import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import com.forms 1.0
import "qrc:/com/forms/forms.js" as Forms

// The search: trade and property type, a keyword, and the form's search filter (its inputs as
// ranges, its toggles, the districts); the result opens as a list tab or on the map.
Page {
    id: search

    property int tradeType: -1
    property int propertyType: -1
    readonly property var trades: [{"key": -1, "title": "همه"}].concat(Database.getTradeTypes())
    readonly property var properties: [{"key": -1, "title": "همه"}].concat(Database.getPropertyTypes(tradeType))
    readonly property alias filters: form.filterValues
    readonly property alias formView: form

    objectName: "searchScreen"
    // Taken away while the screen is open, the right hides the search at once.
    readonly property bool allowed: Account.canUseAdvancedSearch()

    function refreshForm() {
        form.filterValues = []
        form.tradeType = tradeType
        form.propertyType = propertyType
        if (tradeType > 0 && propertyType > 0)
            form.init()
        else
            form.clearForm(0)
    }

    function resultOptions() {
        return {"mode": "search", "title": "نتایج جستجو", "tradeType": tradeType, "propertyType": propertyType,
                "filters": form.filterValues, "keyword": keyword.text}
    }

    function open(path, props) {
        if (!Account.allows("search"))
            return
        Templates.open(search, path, props)
    }

    URefused {
        objectName: "searchRefused"
        visible: !search.allowed
    }

    // The form scrolls inside the page; the search buttons stay below it in reach.
    ScrollView {
        objectName: "searchScroll"
        visible: search.allowed
        anchors.fill: parent
        anchors.margins: 12
        contentWidth: availableWidth
        clip: true

        Column {
            width: parent.width
            spacing: 10

            Row {
                anchors.left: parent.left
                spacing: 10
                ComboBox {
                    objectName: "searchTrade"
                    width: 200
                    textRole: "title"
                    model: search.trades
                    onActivated: {
                        search.tradeType = Number(search.trades[index].key)
                        search.refreshForm()
                    }
                }
                ComboBox {
                    objectName: "searchProperty"
                    width: 200
                    textRole: "title"
                    model: search.properties
                    onActivated: {
                        search.propertyType = Number(search.properties[index].key)
                        search.refreshForm()
                    }
                }
                TextField {
                    id: keyword
                    objectName: "searchKeyword"
                    width: 240
                    placeholderText: "کلمه کلیدی"
                }
            }

            FormView {
                id: form
                width: parent.width
                formType: Forms.SEARCH_FILTER
            }
        }
    }

    footer: ToolBar {
        objectName: "searchFooter"
        visible: search.allowed
        Row {
            anchors.left: parent.left
            anchors.leftMargin: 12
            anchors.verticalCenter: parent.verticalCenter
            spacing: 10
            Button {
                objectName: "searchButton"
                text: "جستجو"
                onClicked: search.open("files/list/List.qml", search.resultOptions())
            }
            Button {
                objectName: "searchMapButton"
                text: "جستجو روی نقشه"
                onClicked: search.open("files/map/UMap.qml", {"tradeType": search.tradeType,
                                                               "propertyType": search.propertyType,
                                                               "filters": form.filterValues})
            }
        }
    }
}
