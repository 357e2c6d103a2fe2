pragma Singleton
import QtQuick 2.15

// Messages stack upwards from the bottom of whatever item the window hangs this column on.
Column {
    id: toast

    readonly property int duration: 2500

    spacing: 6
    z: 1000
    x: parent ? (parent.width - width) / 2 : 0
    y: parent ? parent.height - height - 48 : 0
    LayoutMirroring.enabled: true
    LayoutMirroring.childrenInherit: true

    function show(text, duration) {
        try {
            return message.createObject(toast, {"text": String(text)})
        } catch (e) {
            error(e, "show")
            return null
        }
    }

    function showDisconnectMessage() {
        return show("متاسفانه انجام این عملیات در حالت آفلاین امکانپذیر نمی باشد.")
    }

    function error(errorObject, args, err) {
        var func = "Unknown Function"
        if (typeof args === "string")
            func = args
        else if (args && args.callee && args.callee.name)
            func = args.callee.name
        var file = errorObject && errorObject.fileName ? String(errorObject.fileName) : ""
        file = file.substring(file.lastIndexOf("/") + 1)
        var msg = errorObject && errorObject.message !== undefined ? errorObject.message : errorObject
        var text = "ERRORS MSG: [" + file + "] { " + func + " } " + JSON.stringify(msg === undefined ? null : msg)
        console.log(text)
        return text
    }

    property Component message: Component {
        Rectangle {
            id: box
            property alias text: label.text

            width: Math.min(label.implicitWidth + 32, toast.parent ? toast.parent.width - 40 : 600)
            height: label.paintedHeight + 20
            radius: height / 2
            color: "#e6212121"
            anchors.horizontalCenter: parent ? parent.horizontalCenter : undefined

            Text {
                id: label
                anchors.centerIn: parent
                width: parent.width - 32
                color: "#ffffff"
                wrapMode: Text.WordWrap
                horizontalAlignment: Text.AlignHCenter
                font.pointSize: 11
            }

            SequentialAnimation {
                running: true
                NumberAnimation { target: box; property: "opacity"; from: 0; to: 1; duration: 150 }
                PauseAnimation { duration: toast.duration }
                NumberAnimation { target: box; property: "opacity"; to: 0; duration: 300 }
                ScriptAction { script: box.destroy() }
            }
        }
    }
}
