import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// A shelf created or edited on a page of its own.
Page {
    id: page
    objectName: "shelfAddPage"

    property var shelf: ({})

    signal saved(var shelf)

    header: ToolBar {
        ToolButton {
            anchors.right: parent.right
            font.family: Fonts.icon
            font.pointSize: 16
            text: String.fromCodePoint(parseInt(Icons.arrowRight, 16))
            onClicked: Stacks.back()
        }
    }

    ShelfForm {
        anchors.fill: parent
        anchors.margins: 20
        shelf: page.shelf
        onSaved: {
            page.saved(shelf)
            Stacks.back()
        }
    }
}
