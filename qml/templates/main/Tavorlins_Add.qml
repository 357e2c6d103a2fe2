import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// The new-board form as a screen of the page container.
Page {
    id: page
    objectName: "tavorlinsAdd"

    property var shelf: ({})

    signal tavorlinAdded(var board)

    Tavorlins_Add_Form {
        id: form
        anchors.fill: parent
        shelf: page.shelf
        onTavorlinAdded: {
            page.tavorlinAdded(board)
            // The container closes with its last screen.
            var holder = page.parent
            while (holder && typeof holder.back !== "function")
                holder = holder.parent
            if (holder)
                holder.back()
        }
    }
}
