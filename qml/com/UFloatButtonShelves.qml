import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// The home's floating actions: a round button that unfolds the five actions.
Column {
    id: fab

    property bool managerLevel: false
    property bool expanded: false
    readonly property var actions: [
        {"key": "property", "title": "فایل جدید"},
        {"key": "request", "title": "درخواست جدید"},
        {"key": "code", "title": "جستجو با کد"},
        {"key": "map", "title": "نقشه"},
        {"key": "shelf", "title": "کمد جدید"}
    ]

    readonly property var shown: actions.filter(function (a) { return a.key !== "shelf" || managerLevel })

    signal triggered(string key)

    spacing: 8

    Repeater {
        model: fab.expanded ? fab.shown : []
        delegate: Button {
            objectName: "fab_" + modelData.key
            text: modelData.title
            font.family: Fonts.app
            // Collapsing destroys this button, so the action goes first.
            onClicked: {
                var key = modelData.key
                var owner = fab
                owner.triggered(key)
                owner.expanded = false
            }
        }
    }

    RoundButton {
        objectName: "fabMain"
        width: 56
        height: 56
        text: fab.expanded ? "×" : "+"
        font.pointSize: 20
        palette.button: "#1565c0"
        palette.buttonText: "#ffffff"
        onClicked: fab.expanded = !fab.expanded
    }
}
