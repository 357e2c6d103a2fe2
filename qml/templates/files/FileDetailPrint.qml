import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "fileprint.js" as Logic

// The print preview of one file: its codes, trade and property, the form's fields two to a row,
// the address, the feature boxes, the hashtags and the description. The printer button prints
// the card's content as one picture.
Rectangle {
    id: card

    // The services it uses; null means the program's own singleton.
    property var database: null
    property var printer: null

    property var file: null
    property var cards: []
    property var rows: []
    property var featureBoxes: []
    property var tags: []
    // Read again when the rights change while the preview is open.
    readonly property string address: file ? Logic.addressLine(file, Account.canSeeFileAddress(file)) : ""
    property string desc: ""

    function db() { return database ? database : Database }
    function printService() { return printer ? printer : Print }

    // options: {file, property_ref}
    function initial(options) {
        try {
            if (!options || !options.file)
                return
            var answer = db().getFile(options.file._id)
            if (!answer || answer.error !== undefined)
                return
            var property = options.property_ref !== undefined ? options.property_ref : answer.property_ref
            cards = db().getFormCards(Logic.formTrade(answer.trade_ref), Number(property))
            rows = Logic.inputRows(answer, cards, answer.trade_ref)
            featureBoxes = Logic.boxes(answer, cards, answer.trade_ref)
            tags = Logic.hashtags(answer)
            desc = Logic.description(answer)
            file = answer
            markSeen(answer)
        } catch (e) {
            Toast.error(e, "FileDetailPrint.initial")
        }
    }

    function markSeen(answer) {
        var user = Account.get()
        var request = Logic.seenRequest(answer, user ? user._id : "")
        if (!request)
            return
        Sockets.on("property_seen_result", function (reply) {
            Sockets.off("property_seen_result")
            if (reply.content && reply.content.edit !== undefined)
                Database.fileSeen(request.code[0])
        })
        Sockets.send("property_seen", request)
    }

    // The content, without the header, as one picture to the printer.
    function printCard() {
        try {
            content.grabToImage(function (result) {
                try {
                    printService().print(result.image)
                } catch (e) {
                    Toast.error(e, "Print.print")
                }
            })
        } catch (e) {
            Toast.error(e, "FileDetailPrint.print")
        }
    }

    color: "#ffffff"
    implicitWidth: 560
    implicitHeight: header.height + content.height
    LayoutMirroring.enabled: true
    LayoutMirroring.childrenInherit: true

    Rectangle {
        id: header
        width: parent.width
        height: 44
        color: "#0d47a1"

        Text {
            anchors.verticalCenter: parent ? parent.verticalCenter : undefined
            anchors.left: parent ? parent.left : undefined
            anchors.leftMargin: 12
            text: Logic.header
            color: "#ffffff"
            font.pointSize: 13
            font.bold: true
        }

        Button {
            objectName: "printButton"
            anchors.verticalCenter: parent ? parent.verticalCenter : undefined
            anchors.right: parent ? parent.right : undefined
            anchors.rightMargin: 8
            height: 34
            text: "چاپ"
            enabled: card.file !== null
            onClicked: card.printCard()
        }
    }

    Column {
        id: content
        objectName: "printContent"
        y: header.height
        width: parent.width
        padding: 12
        spacing: 8
        visible: card.file !== null

        readonly property real inner: width - 2 * padding

        Row {
            width: content.inner
            Text {
                width: parent.width / 2
                text: card.file && card.file.code ? String(card.file.code.manual || "") : ""
                textFormat: Text.PlainText
                font.pointSize: 12
                font.bold: true
            }
            Text {
                width: parent.width / 2
                horizontalAlignment: Text.AlignRight
                text: card.file && card.file.dates ? Dates.timestamp_to_jdate(card.file.dates.register) : ""
                textFormat: Text.PlainText
                font.pointSize: 11
            }
        }

        Row {
            width: content.inner
            Repeater {
                model: card.file ? [[Logic.tradeLabel, card.file.trade_name], [Logic.propertyLabel, card.file.property_name]] : []
                Text {
                    width: content.inner / 2
                    text: modelData[0] + ": " + (modelData[1] === undefined ? "" : modelData[1])
                    textFormat: Text.PlainText
                    font.pointSize: 11
                }
            }
        }

        Rectangle { width: content.inner; height: 1; color: "#b0bec5" }

        Repeater {
            model: card.rows
            Row {
                objectName: "printRow"
                width: content.inner
                Repeater {
                    model: modelData
                    Rectangle {
                        width: content.inner / 2
                        height: 26
                        color: index % 2 ? "#ffffff" : "#eceff1"
                        border.color: "#cfd8dc"
                        Text {
                            anchors.fill: parent
                            anchors.leftMargin: 6
                            anchors.rightMargin: 6
                            verticalAlignment: Text.AlignVCenter
                            text: modelData.title === "" ? "" : modelData.title + ": " + modelData.value
                            textFormat: Text.PlainText
                            elide: Text.ElideRight
                            font.pointSize: 10
                        }
                    }
                }
            }
        }

        Text {
            width: content.inner
            visible: card.address !== ""
            text: card.address
            textFormat: Text.PlainText
            wrapMode: Text.WordWrap
            font.pointSize: 10
        }

        Repeater {
            model: card.featureBoxes.concat(card.tags.length > 0 ? [{"title": Logic.hashtagsTitle, "items": card.tags}] : [])
            Rectangle {
                width: content.inner
                height: box.height + 12
                border.color: "#90a4ae"
                radius: 4
                Column {
                    id: box
                    x: 6
                    y: 6
                    width: parent.width - 12
                    spacing: 4
                    Text {
                        text: modelData.title
                        textFormat: Text.PlainText
                        font.pointSize: 10
                        font.bold: true
                    }
                    Text {
                        width: parent.width
                        text: modelData.items.join(" ، ")
                        textFormat: Text.PlainText
                        wrapMode: Text.WordWrap
                        font.pointSize: 10
                    }
                }
            }
        }

        Text {
            width: content.inner
            visible: card.desc !== ""
            text: card.desc
            textFormat: Text.PlainText
            wrapMode: Text.WordWrap
            font.pointSize: 10
        }
    }
}
