import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "settings.js" as Logic

// The settings drawer: who is logged in, the account chooser and the profile, and the entries the
// account's role allows.
Page {
    id: setting

    property var account: Account
    property var templates: Templates

    readonly property var current: account.account
    readonly property var entries: current ? Logic.drawerEntries(current.type, current.access) : []

    function closeDrawer() {
        if (Consts.drawer_setting)
            Consts.drawer_setting.close()
    }

    function accountName() {
        if (!current)
            return ""
        if (account.isManager())
            return "حساب شخصی"
        return current.name_family || current.mobile || ""
    }

    function openChooser() {
        closeDrawer()
        templates.initial("login/Index.qml", {"fromSetting": true, "step": 3})
    }

    function openProfile() {
        closeDrawer()
        if (Consts.desktop) {
            var view = templates.dialog("setting/dialogs/ProfileDialog.qml", {})
            if (view)
                view.open()
        } else {
            templates.initial("setting/Profile.qml", {})
        }
    }

    function activate(key) {
        try {
            switch (key) {
            case "store":
            case "hashtag":
            case "district":
            case "settings":
                closeDrawer()
                templates.container(key, {})
                break
            case "mine":
                closeDrawer()
                templates.container("fileList", {
                    "mode": "tab", "title": "فایلهای من",
                    // The empty id is a manager's own files: without an agent or with the manager as agent.
                    "filters": [Logic.item("agent_ref", account.isManager() ? "" : account.agentId())]
                })
                break
            case "pinned":
                closeDrawer()
                templates.container("fileList", {
                    "mode": "tab", "title": "فایل های سنجاق شده", "filters": [Logic.item("status.pin", "true")]
                })
                break
            case "report":
                closeDrawer()
                templates.initial("setting/Report.qml", {})
                break
            case "logout":
                templates.confirm({"title": "آیا مطمئنید؟", "text": "از حساب کاربری خود خارج می شوید."}, function () {
                    closeDrawer()
                    account.logout()
                })
                break
            }
        } catch (e) {
            Toast.error(e, "activate")
        }
    }

    background: Rectangle { color: "#fafafa" }

    header: Rectangle {
        height: 170
        color: "#1565c0"

        Column {
            anchors.fill: parent
            anchors.margins: 16
            spacing: 8

            Text {
                text: setting.accountName()
                textFormat: Text.PlainText
                color: "#ffffff"
                font.pointSize: 15
                font.bold: true
                elide: Text.ElideRight
                width: parent.width
            }

            Text {
                text: setting.current && setting.current.business_name ? setting.current.business_name : ""
                textFormat: Text.PlainText
                visible: text !== ""
                color: "#e3f2fd"
                font.pointSize: 11
                elide: Text.ElideRight
                width: parent.width
            }

            Text {
                text: Consts.version()
                color: "#bbdefb"
                font.pointSize: 9
            }

            Row {
                spacing: 8
                Button {
                    objectName: "settingChooser"
                    text: "حساب ها"
                    onClicked: setting.openChooser()
                }
                Button {
                    objectName: "settingProfile"
                    text: "پروفایل"
                    onClicked: setting.openProfile()
                }
            }
        }
    }

    ListView {
        id: list
        anchors.fill: parent
        clip: true
        model: setting.entries

        delegate: ItemDelegate {
            width: list.width
            height: 52
            text: modelData.title
            font.pointSize: 12
            onClicked: setting.activate(modelData.key)
        }
    }
}
