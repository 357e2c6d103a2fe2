import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// The new-board form in a dialog; in colour mode it only chooses a board's new colour.
Popup {
    id: dialog
    objectName: "tavorlinsDialog"

    property alias colorMode: form.colorMode
    property alias shelf: form.shelf

    signal colorChosen(int color)
    signal tavorlinAdded(var board)

    function initial(options) {
        if (!options)
            return
        if (options.colorMode !== undefined) form.colorMode = options.colorMode
        if (options.shelf !== undefined) form.shelf = options.shelf
        if (options.tavorlin !== undefined && options.tavorlin.color !== undefined)
            form.color = Number(options.tavorlin.color)
    }

    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: 560
    height: form.colorMode ? 360 : 620
    padding: 0

    contentItem: Tavorlins_Add_Form {
        id: form
        onColorChosen: {
            dialog.colorChosen(color)
            dialog.close()
        }
        onTavorlinAdded: {
            dialog.tavorlinAdded(board)
            dialog.close()
        }
    }
}
