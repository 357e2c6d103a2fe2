import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "home.js" as Home

// The fields of a shelf and its request; the store takes the shelf from the server's answer.
Column {
    id: form

    // The shelf being edited; empty for a new one.
    property var shelf: ({})
    property int color: shelf.color !== undefined ? Number(shelf.color) : 1
    property bool sending: false
    readonly property bool editing: Home.present(shelf._id)

    signal saved(var shelf)

    spacing: 12
    LayoutMirroring.enabled: true
    LayoutMirroring.childrenInherit: true

    function submit() {
        try {
            var name = nameField.text.trim()
            if (name === "") {
                Toast.show("لطفا نام کمد را وارد نمایید.")
                return
            }
            var content = {"user_id": Account.userId(), "name": name, "color": form.color,
                           "type": form.shelf.type !== undefined ? Number(form.shelf.type) : 0}
            if (editing)
                content = {"shelf_id": shelf._id, "user_id": content.user_id, "name": name, "color": content.color,
                           "type": content.type}
            sending = Home.request(Sockets, Toast.show, editing ? "shelf_edit" : "shelf_create", content, null, true,
                         function (result) {
                sending = false
                Database.saveShelf(result)
                form.saved(result)
            }, function () { sending = false })
        } catch (e) {
            sending = false
            Toast.error(e, "ShelfForm.submit")
        }
    }

    UTitle {
        title: form.editing ? "ویرایش کمد" : "کمد جدید"
    }

    TextField {
        id: nameField
        objectName: "shelfName"
        width: parent ? parent.width : 0
        placeholderText: "نام کمد"
        text: form.shelf.name || ""
        font.family: Fonts.app
    }

    Flow {
        width: parent ? parent.width : 0
        spacing: 8
        Repeater {
            model: 7
            delegate: Rectangle {
                objectName: "shelfColor_" + (index + 1)
                width: 36
                height: 36
                radius: 18
                color: Consts.shelf_header_color(index + 1)
                border.width: form.color === index + 1 ? 3 : 0
                border.color: "#ffc107"
                MouseArea {
                    anchors.fill: parent
                    onClicked: form.color = index + 1
                }
            }
        }
    }

    UButtons {
        Button {
            objectName: "shelfSubmit"
            enabled: !form.sending
            text: "ثبت"
            font.family: Fonts.app
            onClicked: form.submit()
        }
    }
}
