import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "list.js" as L

// One file of a list: code, kind, prices, place and customer; the menu from its button, a right
// click or a long press.
Item {
    id: row
    objectName: "fileRow"

    property var file: ({})
    property bool selecting: false
    property bool showTag: false

    signal clicked()
    signal menuRequested()

    readonly property var status: file.status || {}
    // The address and the owner are shown as the detail shows them; read again when the rights change.
    readonly property bool showsContact: Account.canSeeFileAddress(file)

    Rectangle {
        anchors.fill: parent
        anchors.margins: 4
        radius: 6
        color: row.file.select ? "#e3f2fd" : (row.status["delete"] ? "#ffebee" : "#ffffff")
        border.color: row.file.seen === false ? "#1e88e5" : "#e0e0e0"

        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.LeftButton | Qt.RightButton
            onClicked: mouse.button === Qt.RightButton ? row.menuRequested() : row.clicked()
            onPressAndHold: row.menuRequested()
        }

        Column {
            anchors.fill: parent
            anchors.margins: 8
            anchors.leftMargin: 40
            spacing: 1

            Row {
                width: parent.width
                spacing: 8
                CheckBox {
                    visible: row.selecting
                    checked: row.file.select === true
                    height: 20
                    onClicked: row.clicked()
                }
                Label {
                    text: "کد " + (row.file.code ? row.file.code.auto : "")
                    font.bold: true
                }
                Label {
                    text: Consts.getTradeName(row.file.trade_ref) + " " + Consts.getPropertyName(row.file.property_ref)
                    color: L.tradeColor(row.file.trade_ref)
                }
                Label {
                    visible: row.status.pin === true
                    font.family: Fonts.icon
                    text: String.fromCodePoint(parseInt(Icons.pin, 16))
                    color: "#e53935"
                }
                Label {
                    visible: row.showTag && row.file.tag_status !== undefined && row.file.tag_status >= 0
                    objectName: "tagMark"
                    text: "علامت " + (Number(row.file.tag_status) + 1)
                    color: "#3949ab"
                }
            }
            Label {
                width: parent.width
                elide: Text.ElideRight
                textFormat: Text.PlainText
                horizontalAlignment: Text.AlignLeft
                text: {
                    var p = row.file.price || {}
                    return Consts.getPartPriceText(row.file) + " " + Consts.currency(p.price_1 || 0) + "   "
                            + Consts.getWholePriceText(row.file) + " " + Consts.currency(p.price_2 || 0)
                }
            }
            Label {
                width: parent.width
                elide: Text.ElideRight
                textFormat: Text.PlainText
                horizontalAlignment: Text.AlignLeft
                visible: row.showsContact
                text: row.showsContact && row.file.info ? (row.file.info.address || "") : ""
            }
            Label {
                width: parent.width
                elide: Text.ElideRight
                textFormat: Text.PlainText
                horizontalAlignment: Text.AlignLeft
                color: "#616161"
                visible: row.showsContact
                text: row.showsContact && row.file.customer ? (row.file.customer.name_family || "") : ""
            }
        }

        ToolButton {
            objectName: "menuButton"
            anchors.left: parent.left
            anchors.top: parent.top
            font.family: Fonts.icon
            text: String.fromCodePoint(parseInt(Icons.dotsVertical, 16))
            onClicked: row.menuRequested()
        }
    }
}
