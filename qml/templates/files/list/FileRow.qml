import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "list.js" as L
import "../../setting/applicationSettings/settings.js" as Design

// One file of a list: code, kind, prices, place and customer; the menu from its button, a right
// click or a long press.
Item {
    id: row
    objectName: "fileRow"

    property var file: ({})
    property bool selecting: false
    property bool showTag: false

    signal clicked()
    // Beside `source`, or at the point x, y of it when x is not negative.
    signal menuRequested(var source, real x, real y)

    readonly property var status: file.status || {}
    readonly property alias menuButton: menuButton
    // The cards' look from the design settings.
    property var look: Design.currentTemplate(Settings.app_data ? Settings.app_data.file_template : null)
    readonly property real titleSize: Number(look.font_title_size) || Consts.normalFont
    readonly property real valueSize: Number(look.font_value_size) || Consts.largeFont
    readonly property color titleColor: look.title_color || "#757575"
    readonly property color valueColor: look.value_color || "#000000"
    // The address and the owner are shown as the detail shows them; read again when the rights change.
    readonly property bool showsContact: Account.canSeeFileAddress(file)

    Rectangle {
        objectName: "fileCard"
        anchors.fill: parent
        anchors.margins: 4
        radius: Number(row.look.corner_radius) || 10
        color: row.file.select ? (row.look.selected_color || "#90caf9")
                               : (row.status["delete"] ? "#ffebee" : (row.look.back_color || "#e3f2fd"))
        border.color: row.file.seen === false ? (row.look.icon_color || "#2196F3") : (row.look.divider_color || "#90caf9")
        border.width: row.file.seen === false ? 2 : 1

        MouseArea {
            id: rowArea
            anchors.fill: parent
            acceptedButtons: Qt.LeftButton | Qt.RightButton
            onClicked: mouse.button === Qt.RightButton ? row.menuRequested(rowArea, mouse.x, mouse.y) : row.clicked()
            onPressAndHold: row.menuRequested(rowArea, mouse.x, mouse.y)
        }

        Column {
            anchors.fill: parent
            anchors.margins: 8
            anchors.leftMargin: 40
            spacing: 1

            Row {
                id: headLine
                width: parent.width
                spacing: 8
                CheckBox {
                    id: selectBox
                    visible: row.selecting
                    checked: row.file.select === true
                    height: 20
                    onClicked: row.clicked()
                }
                Label {
                    id: codeLabel
                    objectName: "fileCode"
                    visible: text !== ""
                    text: L.cardCode(row.file)
                    font.bold: true
                    font.pointSize: row.valueSize
                    color: row.valueColor
                }
                Label {
                    objectName: "fileKind"
                    text: Consts.getTradeName(row.file.trade_ref) + " " + Consts.getPropertyName(row.file.property_ref)
                    color: L.tradeColor(row.file.trade_ref)
                    font.pointSize: row.valueSize
                    // Long kinds stop at the card's edge; the pin and match marks keep their room.
                    width: Math.max(0, Math.min(implicitWidth, headLine.width
                                                - (codeLabel.visible ? codeLabel.width + headLine.spacing : 0)
                                                - (selectBox.visible ? selectBox.width + headLine.spacing : 0)
                                                - (pinMark.visible ? pinMark.implicitWidth + headLine.spacing : 0)
                                                - (tagMark.visible ? tagMark.implicitWidth + headLine.spacing : 0)))
                    elide: Text.ElideRight
                }
                Label {
                    id: pinMark
                    visible: row.status.pin === true
                    font.family: Fonts.icon
                    font.pointSize: row.valueSize
                    text: String.fromCodePoint(parseInt(Icons.pin, 16))
                    color: "#e53935"
                }
                Label {
                    id: tagMark
                    visible: row.showTag && row.file.tag_status !== undefined && row.file.tag_status >= 0
                    objectName: "tagMark"
                    text: "علامت " + (Number(row.file.tag_status) + 1)
                    color: "#3949ab"
                }
            }
            Label {
                objectName: "filePrices"
                width: parent.width
                elide: Text.ElideRight
                textFormat: Text.PlainText
                horizontalAlignment: Text.AlignLeft
                font.pointSize: row.valueSize
                // A price cut short reads as another price: the line draws smaller instead.
                fontSizeMode: Text.HorizontalFit
                minimumPointSize: Math.max(6, Math.floor(row.valueSize * 0.6))
                color: row.valueColor
                visible: text !== ""
                text: L.cardPrices(row.file)
            }
            Label {
                width: parent.width
                elide: Text.ElideRight
                textFormat: Text.PlainText
                horizontalAlignment: Text.AlignLeft
                font.pointSize: row.titleSize
                color: row.titleColor
                visible: row.showsContact
                text: row.showsContact && row.file.info ? (row.file.info.address || "") : ""
            }
            Label {
                width: parent.width
                elide: Text.ElideRight
                textFormat: Text.PlainText
                horizontalAlignment: Text.AlignLeft
                font.pointSize: row.titleSize
                color: row.titleColor
                visible: row.showsContact
                text: row.showsContact && row.file.customer ? (row.file.customer.name_family || "") : ""
            }
        }

        ToolButton {
            id: menuButton
            objectName: "menuButton"
            anchors.left: parent.left
            anchors.top: parent.top
            font.family: Fonts.icon
            font.pointSize: row.valueSize
            palette.buttonText: row.look.icon_color || "#2196F3"
            text: String.fromCodePoint(parseInt(Icons.dotsVertical, 16))
            onClicked: row.menuRequested(menuButton, -1, -1)
        }
    }
}
