import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// The add tile's choice: a new board, or boards that exist already.
Popup {
    id: dialog
    objectName: "tavorlinAdd"

    signal newBoard()
    signal chooseBoards()

    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: 320
    padding: 12

    contentItem: Column {
        spacing: 8
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true
        ItemDelegate {
            objectName: "addNewBoard"
            width: parent ? parent.width : 0
            text: "ساخت Tavorlin جدید"
            font.family: Fonts.app
            onClicked: {
                dialog.newBoard()
                dialog.close()
            }
        }
        ItemDelegate {
            objectName: "addExistingBoards"
            width: parent ? parent.width : 0
            text: "افزودن Tavorlin های موجود به کمد"
            font.family: Fonts.app
            onClicked: {
                dialog.chooseBoards()
                dialog.close()
            }
        }
    }
}
