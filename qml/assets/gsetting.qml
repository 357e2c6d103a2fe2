pragma Singleton
import QtQuick 2.15
import com.native 1.0

// The UI state, read once at start and written back whole under "app_data".
SettingIO {
    id: settings

    readonly property int db_version: 12

    property var app_data: ({})
    readonly property var app_data_default: defaults()

    function defaults() {
        var phone = Consts.mobile
        return {
            "dbCreated": false,
            "db_version": db_version,
            "citiesInserted": false,
            "door_enabled": true,
            "default_tavorlins_inserted": false,
            "file_list_show_type": {"grid": true, "row": false},
            "file_template": {
                "corner_radius": 10,
                "font_title_size": phone ? Consts.smallFont : Consts.normalFont,
                "font_value_size": phone ? Consts.normalFont : Consts.largeFont,
                "font_title": "متوسط",
                "font_index": 0,
                "schema_index": 0,
                "back_color": "#e3f2fd",
                "back_color_dark": "#bbdefb",
                "value_color": "#000000",
                "title_color": "#757575",
                "icon_color": "#2196F3",
                "divider_color": "#90caf9",
                "selected_color": "#90caf9"
            },
            "tavorlin_zoom": "small",
            "wallpaper": 17
        }
    }

    function save() {
        try {
            set_value("app_data", app_data)
        } catch (e) {
            Toast.error(e, "save")
        }
    }

    function clear() {
        try {
            app_data = JSON.parse(JSON.stringify(app_data_default))
            save()
        } catch (e) {
            Toast.error(e, "clear")
        }
    }

    Component.onCompleted: {
        try {
            var stored = value("app_data", null)
            // A stored object replaces the defaults whole; anything else in the key is no state.
            if (stored !== null && typeof stored === "object" && !Array.isArray(stored))
                app_data = stored
            else
                app_data = defaults()
        } catch (e) {
            Toast.error(e, "Settings.onCompleted")
        }
    }
}
