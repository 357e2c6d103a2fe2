import QtQuick 2.15
import QtQuick.Controls 2.15
import Qt.labs.platform 1.1 as Platform
import com 1.0
import "instagram.js" as Insta

// Builds a post image of a file after one pattern and saves it into the pictures folder at
// 1080 pixels wide, square or 4:5.
Popup {
    id: builder

    property var file: null
    property int patternType: 1
    property var options: []
    property var checked: ({})
    readonly property var parts: Insta.shows(patternType, checked)
    property string colour: "blue"
    property string backgroundImage: ""
    property string customText: ""
    // The file written by the last save, and whether it went well.
    property string savedPath: ""
    property bool saving: false
    readonly property string title: Insta.title(patternType)
    readonly property var account: Account.get() || ({})
    readonly property var rows: Insta.rows(file)
    readonly property var prices: Insta.prices(file)

    signal saved(bool ok, string path)

    function initial(opts) {
        file = opts && opts.file ? opts.file : null
        patternType = opts && opts.patternType ? Number(opts.patternType) : 1
        options = Insta.checkOptions(patternType, file)
        var c = {}
        for (var i = 0; i < options.length; ++i)
            c[options[i].id] = options[i].checked
        checked = c
    }

    function setChecked(id, on) {
        var c = {}
        for (var k in checked)
            c[k] = checked[k]
        c[id] = on
        checked = c
    }

    function tint(shade) {
        var v = Colors[colour + "_" + shade]
        return v === undefined ? "#607d8b" : v
    }

    function chooseBackground(path) {
        backgroundImage = path === "" ? "" : (String(path).indexOf(":") === -1 ? "file://" + path : String(path))
    }

    // Grabs the palette at the pattern's size and writes it as a JPEG; the message follows what
    // really happened to the file.
    function save() {
        try {
            if (saving)
                return
            var size = Insta.size(patternType)
            var path = Insta.fileName(Utilities.getPicturesDirectory(), Date.now())
            saving = true
            var started = canvas.grabToImage(function (result) {
                var ok = result.saveToFile(path)
                builder.finishSave(ok, path)
            }, Qt.size(size.width, size.height))
            if (!started)
                finishSave(false, path)
        } catch (e) {
            saving = false
            Toast.error(e, "save")
        }
    }

    function finishSave(ok, path) {
        saving = false
        savedPath = ok ? path : ""
        Toast.show(ok ? "تصویر مورد نظر با موفقیت ذخیره شد" : "ذخیره تصویر انجام نشد")
        saved(ok, ok ? path : "")
    }

    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: Math.min(Overlay.overlay ? Overlay.overlay.width - 40 : 900, 900)
    height: Math.min(Overlay.overlay ? Overlay.overlay.height - 40 : 700, 700)
    padding: 14

    Component {
        id: backgroundPicker
        Platform.FileDialog {
            fileMode: Platform.FileDialog.OpenFile
            nameFilters: ["تصاویر (*.jpg *.png *.jpeg)"]
            folder: Utilities.picker_folder("")
            onAccepted: {
                builder.chooseBackground(String(file))
                destroy()
            }
            onRejected: destroy()
        }
    }

    contentItem: Item {
        id: body

        UTitle {
            id: heading
            objectName: "builder_title"
            anchors.top: body.top
            title: builder.title
        }

        // The picture itself; saved scaled up to 1080 wide.
        Rectangle {
            id: canvas
            objectName: "builder_palette"
            anchors.top: heading.bottom
            anchors.topMargin: 8
            anchors.right: body.right
            width: Math.min(432, (body.height - 40) * (builder.patternType === 1 ? 1 : 0.8))
            height: Insta.heightFor(builder.patternType, width)
            color: builder.tint("50")
            clip: true

            Image {
                anchors.fill: parent
                visible: builder.backgroundImage !== ""
                source: builder.backgroundImage
                fillMode: Image.PreserveAspectCrop
            }

            UImage2 {
                id: photo
                visible: builder.parts.images
                source: visible ? Insta.firstImage(builder.file) : ""
                x: builder.patternType === 4 ? canvas.width / 2 : (builder.patternType === 3 ? 0 : 12)
                y: builder.patternType === 3 || builder.patternType === 4 ? 0 : 12
                width: builder.patternType === 4 ? canvas.width / 2
                       : (builder.patternType === 3 ? canvas.width : canvas.width - 24)
                height: footer.y - y - (builder.patternType === 3 || builder.patternType === 4 ? 0 : 12)
            }

            Rectangle {
                anchors.fill: parent
                visible: builder.parts.dark
                color: "#66000000"
            }

            Column {
                id: details
                anchors.right: canvas.right
                anchors.rightMargin: 14
                anchors.top: canvas.top
                anchors.topMargin: 16
                width: builder.patternType === 4 ? canvas.width / 2 - 28 : canvas.width - 28
                spacing: 4
                Repeater {
                    model: builder.rows
                    delegate: Text {
                        width: details.width
                        visible: modelData !== "" && (index < 2 || (index === 2 && builder.parts.row3)
                                                      || (index > 2 && builder.parts.row4))
                        text: modelData
                        textFormat: Text.PlainText
                        horizontalAlignment: Text.AlignRight
                        font.pointSize: index === 0 ? 14 : 11
                        font.bold: index === 0
                        color: builder.parts.dark || builder.patternType === 3 ? "white" : "#263238"
                        style: Text.Outline
                        styleColor: builder.parts.dark || builder.patternType === 3 ? "#80000000" : "transparent"
                    }
                }
                Text {
                    width: details.width
                    visible: builder.parts.customText && builder.customText !== ""
                    text: builder.customText
                    textFormat: Text.PlainText
                    wrapMode: Text.Wrap
                    horizontalAlignment: Text.AlignRight
                    font.pointSize: 11
                    color: builder.parts.dark || builder.patternType === 3 ? "white" : builder.tint("800")
                }
            }

            Rectangle {
                id: footer
                objectName: "builder_footer"
                anchors.left: canvas.left
                anchors.right: canvas.right
                anchors.bottom: canvas.bottom
                height: canvas.height / 4.5
                color: builder.tint("500")

                UImage2 {
                    id: avatar
                    anchors.right: footer.right
                    anchors.verticalCenter: footer.verticalCenter
                    anchors.rightMargin: 8
                    width: footer.height - 16
                    height: width
                    source: Account.getImagePath()
                }
                Column {
                    anchors.right: avatar.left
                    anchors.rightMargin: 8
                    anchors.verticalCenter: footer.verticalCenter
                    spacing: 1
                    Text {
                        text: builder.account.business_name || ""
                        textFormat: Text.PlainText
                        color: "white"
                        font.pointSize: 10
                        font.bold: true
                    }
                    Text {
                        text: builder.account.name_family || ""
                        textFormat: Text.PlainText
                        color: "white"
                        font.pointSize: 9
                    }
                    Text {
                        property var info: builder.account.info || {}
                        text: [info.mobile_1 || "", info.phone_1 || ""].filter(function (t) { return t !== "" }).join(" - ")
                        textFormat: Text.PlainText
                        color: "white"
                        font.pointSize: 8
                    }
                }
                Column {
                    anchors.left: footer.left
                    anchors.leftMargin: 8
                    anchors.verticalCenter: footer.verticalCenter
                    spacing: 1
                    Repeater {
                        model: builder.parts.price ? builder.prices : []
                        delegate: Text {
                            text: modelData
                            textFormat: Text.PlainText
                            color: "white"
                            font.pointSize: 9
                        }
                    }
                    Text {
                        visible: builder.parts.code
                        text: Insta.codeText(builder.file)
                        textFormat: Text.PlainText
                        color: "white"
                        font.pointSize: 9
                    }
                }
            }
        }

        Flickable {
            anchors.top: heading.bottom
            anchors.topMargin: 8
            anchors.left: body.left
            anchors.right: canvas.left
            anchors.rightMargin: 16
            anchors.bottom: body.bottom
            contentHeight: controls.implicitHeight
            clip: true

            Column {
                id: controls
                width: parent.width
                spacing: 6
                LayoutMirroring.enabled: true
                LayoutMirroring.childrenInherit: true

                Repeater {
                    model: builder.options
                    delegate: CheckBox {
                        objectName: "builder_option_" + modelData.id
                        // The whole width, so that every box lines up at the right edge.
                        width: controls.width
                        text: modelData.title
                        enabled: modelData.enabled
                        checked: builder.checked[modelData.id] === true
                        onToggled: builder.setChecked(modelData.id, checked)
                    }
                }

                TextField {
                    objectName: "builder_text"
                    width: parent.width
                    placeholderText: "متن دلخواه"
                    selectByMouse: true
                    onTextChanged: builder.customText = text
                }

                Flow {
                    width: parent.width
                    spacing: 6
                    Repeater {
                        model: Insta.colours
                        delegate: Rectangle {
                            objectName: "builder_colour_" + modelData
                            width: 28
                            height: 28
                            radius: 14
                            color: Colors[modelData + "_500"]
                            border.width: builder.colour === modelData ? 3 : 0
                            border.color: "#212121"
                            MouseArea {
                                anchors.fill: parent
                                onClicked: builder.colour = modelData
                            }
                        }
                    }
                }

                Row {
                    width: parent.width
                    spacing: 6
                    Button {
                        text: "تصویر پس زمینه"
                        onClicked: backgroundPicker.createObject(builder).open()
                    }
                    Button {
                        visible: builder.backgroundImage !== ""
                        text: "حذف پس زمینه"
                        onClicked: builder.backgroundImage = ""
                    }
                }

                UButtons {
                    spacing: 6
                    Button {
                        objectName: "builder_save"
                        text: "ذخیره در تصاویر"
                        enabled: !builder.saving
                        onClicked: builder.save()
                    }
                    Button {
                        text: "بستن"
                        onClicked: builder.close()
                    }
                }
            }
        }
    }
}
