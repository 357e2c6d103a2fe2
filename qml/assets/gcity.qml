pragma Singleton
import QtQuick 2.15

// The cities live in the store (Database.getCities); this singleton keeps none of its own.
Item {
    readonly property var list: []

    function provinces() {
        return []
    }

    function cities(provinceId) {
        return []
    }
}
