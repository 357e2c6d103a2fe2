import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// The menu of one board; the opener acts on the choice, since the menu is gone before any answer.
Popup {
    id: menu
    objectName: "tavorlinSetting"

    property var tavorlin: ({})
    readonly property var entries: [
        {"key": "delete", "title": "حذف"},
        {"key": "color", "title": "تغییر رنگ"},
        {"key": "name", "title": "تغییر نام"},
        {"key": "access", "title": "دسترسی"},
        {"key": "remove", "title": "حذف از کمد"}
    ]

    signal chosen(string key)

    function initial(options) {
        if (options && options.tavorlin !== undefined)
            tavorlin = options.tavorlin
    }

    function choose(key) {
        chosen(key)
        close()
    }

    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: 300
    padding: 8

    contentItem: Column {
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true
        UTitle {
            padding: 8
            title: menu.tavorlin.title || menu.tavorlin.name || ""
        }
        Repeater {
            model: menu.entries
            delegate: ItemDelegate {
                objectName: "boardMenu_" + modelData.key
                width: parent ? parent.width : 0
                text: modelData.title
                font.family: Fonts.app
                onClicked: menu.choose(modelData.key)
            }
        }
    }
}
