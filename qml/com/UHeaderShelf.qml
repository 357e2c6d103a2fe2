import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// The home's header: quick search by keyword and the old-files hint.
Rectangle {
    id: header

    property int oldCount: 0
    readonly property string badge: oldCount >= 100 ? "99+" : String(oldCount)

    signal search(string keyword)
    property bool orderVisible: false

    signal oldFiles()
    signal orderShelves()

    height: 56
    color: "#b3ffffff"

    Row {
        anchors.fill: parent
        anchors.margins: 8
        spacing: 8

        TextField {
            id: keyword
            objectName: "quickSearch"
            width: Math.min(360, header.width * 0.5)
            placeholderText: "جستجوی سریع"
            font.family: Fonts.app
            onAccepted: header.search(text)
        }

        Button {
            objectName: "quickSearchButton"
            text: "جستجو"
            font.family: Fonts.app
            onClicked: header.search(keyword.text)
        }

        Button {
            objectName: "orderShelves"
            visible: header.orderVisible
            text: "ترتیب کمد ها"
            font.family: Fonts.app
            onClicked: header.orderShelves()
        }

        Button {
            id: old
            objectName: "oldFiles"
            visible: header.oldCount > 0
            text: "فایل های قدیمی"
            font.family: Fonts.app
            onClicked: header.oldFiles()

            Rectangle {
                objectName: "oldFilesBadge"
                property string text: header.badge
                // On the button's left corner, the end of its caption's line, clear of its letters.
                LayoutMirroring.enabled: false
                anchors.top: parent.top
                anchors.topMargin: -6
                anchors.right: parent.left
                anchors.rightMargin: -6
                width: Math.max(22, badgeText.implicitWidth + 10)
                height: 22
                radius: 11
                color: "#e53935"
                Text {
                    id: badgeText
                    anchors.centerIn: parent
                    text: Consts.ltr(header.badge)
                    color: "#ffffff"
                    font.pointSize: Consts.xSmallFont
                }
            }
        }
    }
}
