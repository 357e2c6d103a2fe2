import QtQuick 2.15
import QtQuick.Controls 2.15
import QtMultimedia 5.15
import com 1.0

// One message bubble: the author's picture and name, the text and the time. Own messages sit on
// the start side, others' on the end side.
Item {
    id: bubble

    // A message as the conversation view prepares it.
    property var message: ({})
    readonly property bool mine: message.mine === true

    // Where it was asked for: the item and the point on it, for the menu to open there.
    signal menuRequested(var source, real x, real y)

    readonly property int kind: Number(message.type) || 1
    readonly property bool hasMedia: kind > 1 && String(message.path || "") !== ""

    function icon(name) { return String.fromCodePoint(parseInt(Icons[name], 16)) }

    // A picture or a video opens on its own in the viewer.
    function openMedia() {
        var entry = {"isVideo": kind === 4, "path": String(message.path || ""), "thumb": String(message.thumb || "")}
        var d = Templates.dialog("UMediaViewer.qml", {"data": [entry], "currentIndex": 0}, "com")
        if (d)
            d.open()
    }

    // A voice message is fetched into the cache before it plays.
    function playVoice() {
        if (voice.playbackState === MediaPlayer.PlayingState) {
            voice.pause()
            return
        }
        if (voice.source.toString() !== "") {
            voice.play()
            return
        }
        voiceLoader.busy = true
        voiceLoader.setCache(true)
        voiceLoader.downloadUrl(String(message.path))
    }

    implicitHeight: Math.max(card.height, avatar.visible ? avatar.height : 0)

    function initials(name) {
        var n = String(name || "").trim()
        return n === "" ? "?" : n.charAt(0)
    }

    Rectangle {
        id: avatar
        visible: bubble.message.showAvatar === true
        width: 32
        height: 32
        radius: 16
        color: "#90a4ae"
        anchors.bottom: parent.bottom
        anchors.left: bubble.mine ? parent.left : undefined
        anchors.right: bubble.mine ? undefined : parent.right
        clip: true

        Text {
            anchors.centerIn: parent
            text: bubble.initials(bubble.message.user ? bubble.message.user.name_family : "")
            textFormat: Text.PlainText
            color: "#ffffff"
        }

        Image {
            anchors.fill: parent
            fillMode: Image.PreserveAspectCrop
            visible: source != "" && status === Image.Ready
            source: {
                var u = bubble.message.user
                var img = u && u.image ? String(u.image) : ""
                return img === "" ? "" : (img.indexOf(":") === -1 ? "file://" + img : img)
            }
        }
    }

    Rectangle {
        id: card
        width: Math.min(bubble.width * 0.75, Math.max(body.implicitWidth, author.implicitWidth,
                                                      bubble.hasMedia ? 240 : 60) + 20)
        height: content.implicitHeight + 12
        radius: 8
        color: bubble.mine ? "#dcedc8" : "#ffffff"
        border.color: "#cfd8dc"
        anchors.left: bubble.mine ? avatar.right : undefined
        anchors.right: bubble.mine ? undefined : avatar.left
        anchors.leftMargin: 6
        anchors.rightMargin: 6

        Column {
            id: content
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.top: parent.top
            anchors.margins: 6
            spacing: 2

            Text {
                id: author
                visible: !bubble.mine && bubble.message.showAvatar === true && text !== ""
                text: bubble.message.user ? bubble.message.user.name_family || "" : ""
                textFormat: Text.PlainText
                color: "#1565c0"
                font.pointSize: 9
            }

            UImage2 {
                objectName: "message_picture"
                visible: bubble.hasMedia && (bubble.kind === 3 || bubble.kind === 4)
                width: parent.width
                height: visible ? 180 : 0
                source: !visible ? "" : (bubble.kind === 4 ? String(bubble.message.thumb || "") : String(bubble.message.path))
                onClicked: bubble.openMedia()

                Rectangle {
                    visible: bubble.kind === 4
                    anchors.centerIn: parent
                    width: 44
                    height: 44
                    radius: 22
                    color: "#aa000000"
                    Text {
                        anchors.centerIn: parent
                        font.family: Fonts.icon
                        font.pixelSize: 28
                        color: "white"
                        text: bubble.icon("play")
                    }
                }
            }

            Row {
                objectName: "message_voice"
                visible: bubble.hasMedia && bubble.kind === 2
                height: visible ? implicitHeight : 0
                spacing: 6
                ToolButton {
                    font.family: Fonts.icon
                    font.pixelSize: 22
                    enabled: !voiceLoader.busy
                    text: bubble.icon(voice.playbackState === MediaPlayer.PlayingState ? "pause" : "play")
                    onClicked: bubble.playVoice()
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: voice.duration > 0 ? Math.round(voice.duration / 1000) + " ثانیه" : "پیام صوتی"
                    font.pointSize: 9
                }
            }

            Text {
                id: body
                objectName: "message_text"
                width: parent.width
                text: bubble.message._text || ""
                textFormat: Text.PlainText
                wrapMode: Text.Wrap
                font.pointSize: 11
            }

            Text {
                text: bubble.message.date_string || ""
                color: "#78909c"
                font.pointSize: 8
            }
        }

        MouseArea {
            id: bubbleArea
            anchors.fill: parent
            z: -1
            acceptedButtons: Qt.LeftButton | Qt.RightButton
            onClicked: if (mouse.button === Qt.RightButton) bubble.menuRequested(bubbleArea, mouse.x, mouse.y)
            onPressAndHold: bubble.menuRequested(bubbleArea, mouse.x, mouse.y)
        }
    }

    Downloader {
        id: voiceLoader
        property bool busy: false
        onFinished: {
            busy = false
            voice.source = (Qt.platform.os === "windows" ? "file:///" : "file://") + voiceLoader.getDownloadPath()
            voice.play()
        }
        onDownloadError: {
            busy = false
            Toast.show("دریافت پیام صوتی انجام نشد")
        }
    }

    MediaPlayer {
        id: voice
        autoPlay: false
    }
}
