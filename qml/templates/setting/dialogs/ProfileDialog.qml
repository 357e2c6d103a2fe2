import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import ".."

// The profile over the home screen, for desktops; it closes once the server has stored it.
Popup {
    id: dialog

    property bool from_login: false
    property alias profile: content

    function initial(options) {
        from_login = !!(options && options.from_login)
    }

    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: Math.min(720, Consts.window ? Consts.window.width * 0.9 : 720)
    height: Consts.window ? Consts.window.height * 0.9 : 700
    padding: 0

    contentItem: Item {
        id: frame
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        UTitle {
            id: heading
            y: 12
            padding: 16
            topPadding: 0
            bottomPadding: 0
            title: dialog.from_login ? "لطفا پروفایل خود را تکمیل نمایید" : "پروفایل"
        }

        Profile {
            id: content
            anchors.top: heading.bottom
            anchors.topMargin: 8
            anchors.left: frame.left
            anchors.right: frame.right
            anchors.bottom: frame.bottom
            from_login: dialog.from_login
            onDone: dialog.close()
        }
    }
}
