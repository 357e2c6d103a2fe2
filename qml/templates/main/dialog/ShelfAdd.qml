import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import ".."

// A shelf created or edited in a dialog; with no shelves yet it cannot be dismissed.
Popup {
    id: dialog
    objectName: "shelfAddDialog"

    property bool closable: true
    property alias shelf: form.shelf

    signal saved(var shelf)

    function initial(options) {
        if (!options)
            return
        if (options.closable !== undefined) closable = options.closable
        if (options.shelf !== undefined) form.shelf = options.shelf
    }

    modal: true
    focus: true
    closePolicy: closable ? (Popup.CloseOnEscape | Popup.CloseOnPressOutside) : Popup.NoAutoClose
    anchors.centerIn: Overlay.overlay
    width: 420
    padding: 20

    contentItem: Column {
        spacing: 8
        ShelfForm {
            id: form
            width: parent ? parent.width : 0
            onSaved: {
                dialog.saved(shelf)
                dialog.close()
            }
        }
        UButtons {
            visible: dialog.closable
            Button {
                text: "انصراف"
                font.family: Fonts.app
                flat: true
                onClicked: dialog.close()
            }
        }
    }
}
