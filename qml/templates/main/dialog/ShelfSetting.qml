import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// The menu of one shelf; the opener acts on the choice, since the menu is gone before any answer.
Popup {
    id: menu
    objectName: "shelfSetting"

    property var shelf: ({})
    readonly property var entries: [
        {"key": "boards", "title": "Tavorlin های کمد"},
        {"key": "edit", "title": "ویرایش"},
        {"key": "wallpaper", "title": "تصویر زمینه"},
        {"key": "access", "title": "دسترسی"},
        {"key": "delete", "title": "حذف"}
    ]

    signal chosen(string key)

    function initial(options) {
        if (options && options.shelf !== undefined)
            shelf = options.shelf
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
            title: menu.shelf.name || ""
        }
        Repeater {
            model: menu.entries
            delegate: ItemDelegate {
                objectName: "shelfMenu_" + modelData.key
                width: parent ? parent.width : 0
                text: Consts.rtl(modelData.title)
                font.family: Fonts.app
                onClicked: menu.choose(modelData.key)
            }
        }
    }
}
