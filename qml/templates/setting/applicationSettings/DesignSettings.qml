import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "settings.js" as SettingsJs

// The look of the file cards in the lists, and the shutter at start; saved on every change.
Page {
    id: page

    property var current: SettingsJs.currentTemplate(Settings.app_data ? Settings.app_data.file_template : null)
    title: "تنظیمات ظاهری"
    readonly property var fonts: ({"xSmall": Consts.xSmallFont, "small": Consts.smallFont,
                                   "normal": Consts.normalFont, "large": Consts.largeFont,
                                   "xLarge": Consts.xLargeFont, "xxLarge": Consts.xxLargeFont})

    objectName: "designSettings"

    function store(fontIndex, schemaIndex, radius) {
        try {
            current = SettingsJs.fileTemplate(fontIndex, schemaIndex, radius, Consts.mobile, fonts)
            // Assigned whole, so that open lists see the new look.
            var data = Settings.app_data
            data.file_template = current
            Settings.app_data = data
            Settings.save()
        } catch (e) {
            Toast.error(e, "store")
        }
    }

    function setDoor(on) {
        Settings.app_data.door_enabled = on
        Settings.save()
    }

    header: ToolBar {
        Label {
            anchors.centerIn: parent
            text: page.title
            font.pointSize: 13
        }
    }

    Column {
        // No wider than the body of a detail on a large window, in the middle.
        width: Math.min(parent.width - 32, Consts.body_max_width)
        x: (parent.width - width) / 2
        y: 16
        spacing: 14

        Text { width: parent.width; text: "اندازه قلم"; font.pointSize: 11 }
        Row {
            width: parent.width
            spacing: 6
            Repeater {
                model: SettingsJs.fontTitles
                RadioButton {
                    objectName: "font_" + index
                    text: modelData
                    checked: Number(page.current.font_index) === index
                    onClicked: page.store(index, page.current.schema_index, page.current.corner_radius)
                }
            }
        }

        Text { width: parent.width; text: "رنگ"; font.pointSize: 11 }
        Row {
            width: parent.width
            spacing: 10
            Repeater {
                model: SettingsJs.schemas
                Rectangle {
                    objectName: "schema_" + index
                    width: 40
                    height: 40
                    radius: 20
                    color: modelData.icon
                    border.width: Number(page.current.schema_index) === index ? 3 : 0
                    border.color: "#212121"
                    MouseArea {
                        anchors.fill: parent
                        onClicked: page.store(page.current.font_index, index, page.current.corner_radius)
                    }
                }
            }
        }

        Text { width: parent.width; text: "گردی گوشه ها: " + page.current.corner_radius; font.pointSize: 11 }
        Slider {
            anchors.left: parent.left
            objectName: "cornerRadius"
            width: 300
            from: 1
            to: 20
            stepSize: 1
            snapMode: Slider.SnapAlways
            value: Number(page.current.corner_radius) || 10
            onMoved: page.store(page.current.font_index, page.current.schema_index, value)
        }

        // A sample card in the chosen look.
        Rectangle {
            anchors.left: parent.left
            width: 260
            height: 90
            radius: Number(page.current.corner_radius) || 10
            color: page.current.back_color || "#e3f2fd"
            border.color: page.current.divider_color || "#90caf9"
            Column {
                anchors.centerIn: parent
                Text {
                    text: "آپارتمان - فروش"
                    color: page.current.title_color || "#757575"
                    font.pointSize: Number(page.current.font_title_size) || Consts.normalFont
                }
                Text {
                    text: "۱۲۰ متر"
                    color: page.current.value_color || "#000000"
                    font.pointSize: Number(page.current.font_value_size) || Consts.largeFont
                }
            }
        }

        Switch {
            anchors.left: parent.left
            objectName: "door"
            text: "نمایش کرکره در هنگام ورود"
            checked: !Settings.app_data || Settings.app_data.door_enabled !== false
            onToggled: page.setDoor(checked)
        }
    }
}
