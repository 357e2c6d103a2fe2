import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import com.forms 1.0
import "settings.js" as SettingsJs

// Which toggles the listing form hides for this account; saved on the server first.
Page {
    id: page

    property bool sending: false
    title: "شخصی سازی فرم ثبت فایل"

    objectName: "formSettings"

    function apply() {
        try {
            if (!Sockets.connected) {
                Toast.showDisconnectMessage()
                return
            }
            sending = true
            Sockets.on("account_setting_result", function (reply) {
                Sockets.off("account_setting_result")
                Sockets.off("account_setting_result_error")
                sending = false
                var list = null
                try {
                    list = SettingsJs.formSettingOf(reply.content)
                } catch (e) {
                    list = null
                }
                if (list === null) {
                    Toast.show(reply.message && reply.message.msg ? reply.message.msg : "خطایی در ذخیره تنظیمات رخ داده است.")
                    return
                }
                Database.saveFormSettings(list, "", Number(reply.timestamp) || -1)
                form.inVisibleToggles = Database.getInvisibleToggles() || []
                Toast.show("تغییرات اعمال شد.")
            })
            Sockets.on("account_setting_result_error", function () {
                Sockets.off("account_setting_result")
                Sockets.off("account_setting_result_error")
                sending = false
            })
            Sockets.send("account_setting",
                         SettingsJs.formSettingContent(Account.userId(), Account.agentId(), form.inVisibleToggles))
        } catch (e) {
            sending = false
            Toast.error(e, "apply")
        }
    }

    header: ToolBar {
        Label {
            anchors.centerIn: parent
            text: page.title
            font.pointSize: 13
        }
    }

    Flickable {
        id: flick
        anchors.fill: parent
        anchors.bottomMargin: applyButton.height + 16
        contentHeight: form.implicitHeight + 32
        clip: true
        ScrollBar.vertical: ScrollBar {}

        FormView {
            id: form
            // No wider than the body of a detail on a large window, in the middle.
            width: Math.min(flick.width - 32, Consts.body_max_width)
            x: (flick.width - width) / 2
            y: 16
            formType: 4
        }
    }

    Button {
        id: applyButton
        objectName: "apply"
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 8
        anchors.horizontalCenter: parent.horizontalCenter
        text: "اعمال تغییرات"
        enabled: !page.sending
        onClicked: page.apply()
    }

    Component.onCompleted: form.init()

    Component.onDestruction: {
        if (sending) {
            Sockets.off("account_setting_result")
            Sockets.off("account_setting_result_error")
        }
    }
}
