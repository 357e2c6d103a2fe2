import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// The program's settings: the Excel export, the form, the file cards' design, the lock, this
// account's devices, and the reset to a first start.
Page {
    id: settings

    property var templates: Templates

    readonly property string excelDialog: "setting/dialogs/ExcelExportDialog.qml"

    readonly property var entries: [
        {"key": "excel", "title": "خروجی اکسل"},
        {"key": "form", "title": "تنظیمات فرم ثبت فایل", "path": "setting/applicationSettings/FormSettings.qml"},
        {"key": "design", "title": "تنظیمات طراحی فایل ها", "path": "setting/applicationSettings/DesignSettings.qml"},
        {"key": "lock", "title": "قفل برنامه", "path": "setting/applicationSettings/LockSettings.qml"},
        {"key": "devices", "title": "دستگاه های من", "path": "setting/applicationSettings/UserDevices.qml"},
        {"key": "reset", "title": "بازگشت به تنظیمات اولیه"}
    ]

    function push(path) {
        return templates.open(settings, path, {})
    }

    function confirmReset() {
        templates.confirm({"title": "آیا مطمئن هستید ؟",
                           "text": "در صورت تایید، تمام تنظیمات برنامه به حالت اولیه باز می گردد."}, function () {
            if (Consts.window && Consts.window.resetLocalData)
                Consts.window.resetLocalData()
        })
    }

    function activate(entry) {
        try {
            if (entry.key === "excel") {
                var dialog = templates.dialog(excelDialog, {})
                if (dialog)
                    dialog.open()
            } else if (entry.key === "reset") {
                confirmReset()
            } else {
                push(entry.path)
            }
        } catch (e) {
            Toast.error(e, "activate")
        }
    }

    ListView {
        id: list
        objectName: "settingsList"
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        anchors.horizontalCenter: parent.horizontalCenter
        // No wider than the body of a detail on a large window, in the middle.
        width: Math.min(parent.width, Consts.body_max_width)
        clip: true
        model: settings.entries
        delegate: ItemDelegate {
            objectName: "settings_" + modelData.key
            width: list.width
            height: 52
            text: modelData.title
            font.pointSize: 12
            onClicked: settings.activate(modelData)
        }
    }
}
