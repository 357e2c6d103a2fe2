import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "../home.js" as Home

// Finds a file by its automatic code, or lists the files of a manual id.
Popup {
    id: dialog
    objectName: "searchType"

    property bool byManualId: false

    function search() {
        try {
            var code = Consts.fixNumbers(codeField.text).trim()
            var message = Home.codeError(byManualId, code)
            if (message !== "") {
                Toast.show(message)
                return
            }
            if (byManualId) {
                Home.openContainer(Templates, Consts.desktop, "fileList", Home.manualIdOptions(code))
            } else {
                var file = Database.getFileByCode(Number(code))
                if (!file || file.error !== undefined) {
                    Toast.show(Home.texts.codeNotFound)
                    return
                }
                Templates.open(dialog, "files/FileDetail.qml", {"fileId": file._id, "summary": file})
            }
            close()
        } catch (e) {
            Toast.error(e, "SearchType.search")
        }
    }

    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: 380
    padding: 20

    contentItem: Column {
        spacing: 12
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        UTitle {
            title: "جستجو با کد"
        }

        Row {
            width: parent ? parent.width : 0
            spacing: 8
            RadioButton {
                objectName: "byAutoCode"
                checked: !dialog.byManualId
                text: "کد فایل"
                font.family: Fonts.app
                onClicked: dialog.byManualId = false
            }
            RadioButton {
                objectName: "byManualId"
                checked: dialog.byManualId
                text: "شناسه دستی"
                font.family: Fonts.app
                onClicked: dialog.byManualId = true
            }
        }

        TextField {
            id: codeField
            objectName: "codeField"
            width: parent ? parent.width : 0
            inputMethodHints: Qt.ImhDigitsOnly
            validator: RegularExpressionValidator { regularExpression: /[0-9۰-۹٠-٩]*/ }
            placeholderText: dialog.byManualId ? "شناسه" : "کد"
            font.family: Fonts.app
            onAccepted: dialog.search()
        }

        UButtons {
            Button {
                objectName: "codeSearch"
                text: "جستجو"
                font.family: Fonts.app
                onClicked: dialog.search()
            }
            Button {
                objectName: "advancedSearchButton"
                text: "جستجوی پیشرفته"
                font.family: Fonts.app
                onClicked: {
                    // Refused, the dialog stays for a search by code.
                    if (Home.openContainer(Templates, Consts.desktop, "search", {}))
                        dialog.close()
                }
            }
        }
    }
}
