import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "search.js" as S

// The search form: trade and property type, keyword, the form's filter inputs and toggles and
// the districts; the result opens as a list tab or on the map.
Page {
    id: search

    property int tradeType: -1
    property int propertyType: -1
    property var items: []
    property var districts: []
    readonly property var trades: [{"key": -1, "title": "همه"}].concat(Database.getTradeTypes())
    readonly property var properties: [{"key": -1, "title": "همه"}].concat(Database.getPropertyTypes(tradeType))
    readonly property var cards: tradeType > 0 && propertyType > 0 ? Database.getFormCards(tradeType, propertyType) : []

    objectName: "searchScreen"

    function inputs() {
        var list = []
        for (var i = 0; i < cards.length; ++i)
            for (var j = 0; j < (cards[i].inputs || []).length; ++j)
                if (cards[i].inputs[j].filter === true)
                    list.push(cards[i].inputs[j])
        return list
    }

    function toggles() {
        var list = []
        for (var i = 0; i < cards.length; ++i)
            for (var j = 0; j < (cards[i].toggles || []).length; ++j)
                list.push(cards[i].toggles[j])
        return list
    }

    function resultOptions() {
        return {"mode": "search", "title": "نتایج جستجو", "tradeType": tradeType, "propertyType": propertyType,
                "filters": items, "keyword": keyword.text}
    }

    function show() {
        var props = resultOptions()
        if (search.StackView.view)
            search.StackView.view.push(Templates.uri("files/list/List.qml"), props)
        else
            Templates.initial("files/list/List.qml", props)
    }

    function showMap() {
        var props = {"tradeType": tradeType, "propertyType": propertyType, "filters": items}
        if (search.StackView.view)
            search.StackView.view.push(Templates.uri("files/map/UMap.qml"), props)
        else
            Templates.initial("files/map/UMap.qml", props)
    }

    onTradeTypeChanged: items = []
    onPropertyTypeChanged: items = items.filter(function (i) { return i.key === "district_array" })

    Connections {
        target: Database
        function onDistrictListReady(list) { search.districts = list }
    }

    ScrollView {
        anchors.fill: parent
        anchors.margins: 12
        contentWidth: availableWidth

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
                    onActivated: search.tradeType = Number(search.trades[index].key)
                }
                ComboBox {
                    objectName: "searchProperty"
                    width: 200
                    textRole: "title"
                    model: search.properties
                    onActivated: search.propertyType = Number(search.properties[index].key)
                }
                TextField {
                    id: keyword
                    objectName: "searchKeyword"
                    width: 240
                    placeholderText: "کلمه کلیدی"
                }
            }

            Flow {
                width: parent.width
                spacing: 10
                Repeater {
                    model: search.inputs()
                    Row {
                        spacing: 4
                        Label { anchors.verticalCenter: parent.verticalCenter; text: modelData.title; width: 110 }
                        TextField {
                            id: low
                            width: 110
                            placeholderText: "از"
                            inputMethodHints: Qt.ImhDigitsOnly
                            onEditingFinished: search.items = S.setRange(search.items, S.inputKey(modelData), text, high.text)
                        }
                        TextField {
                            id: high
                            width: 110
                            placeholderText: "تا"
                            inputMethodHints: Qt.ImhDigitsOnly
                            onEditingFinished: search.items = S.setRange(search.items, S.inputKey(modelData), low.text, text)
                        }
                    }
                }
            }

            Flow {
                width: parent.width
                spacing: 4
                Repeater {
                    model: search.toggles()
                    CheckBox {
                        text: modelData.title
                        onToggled: search.items = S.setToggle(search.items, modelData.parent_key, modelData.key, checked)
                    }
                }
            }

            Label { anchors.left: parent.left; text: "مناطق"; font.bold: true; visible: search.districts.length > 0 }
            Flow {
                width: parent.width
                spacing: 4
                Repeater {
                    model: search.districts
                    CheckBox {
                        id: districtBox
                        text: modelData.title
                        // District titles are typed by users.
                        contentItem: Text {
                            text: districtBox.text
                            textFormat: Text.PlainText
                            font: districtBox.font
                            verticalAlignment: Text.AlignVCenter
                            leftPadding: !districtBox.mirrored ? districtBox.indicator.width + districtBox.spacing : 0
                            rightPadding: districtBox.mirrored ? districtBox.indicator.width + districtBox.spacing : 0
                        }
                        onToggled: search.items = S.setDistrict(search.items, modelData._id, checked)
                    }
                }
            }

            Row {
                anchors.left: parent.left
                spacing: 10
                Button { objectName: "searchButton"; text: "جستجو"; onClicked: search.show() }
                Button { objectName: "searchMapButton"; text: "جستجو روی نقشه"; onClicked: search.showMap() }
            }
        }
    }

    Component.onCompleted: Database.getDistricts()
}
