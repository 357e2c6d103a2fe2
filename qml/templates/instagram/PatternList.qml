import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "instagram.js" as Insta

// The post-image patterns of a file; a choice opens the builder with it.
Popup {
    id: dialog

    property var file: null
    readonly property var patterns: Insta.patterns()

    function initial(options) {
        file = options && options.file ? options.file : null
    }

    function choose(type) {
        var builder = Templates.dialog("instagram/ImageBuilder.qml", {"file": file, "patternType": type})
        if (builder)
            builder.open()
        close()
    }

    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: 560
    padding: 16

    contentItem: Column {
        id: column
        spacing: 12
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        UTitle {
            title: "انتخاب طرح"
        }

        Row {
            spacing: 12
            anchors.horizontalCenter: column.horizontalCenter
            Repeater {
                model: dialog.patterns
                delegate: Column {
                    objectName: "pattern_" + modelData.pattern_type
                    spacing: 4
                    Image {
                        width: 116
                        height: 145
                        fillMode: Image.PreserveAspectFit
                        source: modelData.pattern_image
                        MouseArea {
                            anchors.fill: parent
                            onClicked: dialog.choose(modelData.pattern_type)
                        }
                    }
                    Text {
                        anchors.horizontalCenter: parent.horizontalCenter
                        text: modelData.pattern_title
                        font.pointSize: 9
                    }
                }
            }
        }
    }
}
