import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// The header of a shelf's boards: back, the shelf's name, zoom and the advanced search.
ToolBar {
    id: header

    property string title: ""
    property string zoom: "small"

    signal back()
    signal zoomClicked()
    signal advancedSearch()

    Row {
        anchors.fill: parent
        spacing: 8

        ToolButton {
            objectName: "boardsBack"
            font.family: Fonts.icon
            font.pointSize: 16
            text: String.fromCodePoint(parseInt(Icons.arrowRight, 16))
            onClicked: header.back()
        }

        Label {
            anchors.verticalCenter: parent.verticalCenter
            width: header.width - 360
            text: header.title
            textFormat: Text.PlainText
            elide: Text.ElideRight
            font.family: Fonts.app
            font.pointSize: Consts.normalFont
        }

        ToolButton {
            objectName: "zoomButton"
            text: header.zoom === "small" ? "کوچک" : (header.zoom === "medium" ? "متوسط" : "بزرگ")
            font.family: Fonts.app
            onClicked: header.zoomClicked()
        }

        ToolButton {
            objectName: "advancedSearch"
            text: "جستجوی پیشرفته"
            font.family: Fonts.app
            onClicked: header.advancedSearch()
        }
    }
}
