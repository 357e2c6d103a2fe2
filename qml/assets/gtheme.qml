pragma Singleton
import QtQuick 2.15

// The blue shades of Colors (50, 100, 500, 800), written out so this file needs no module import.
Item {
    readonly property string light: "#e3f2fd"
    readonly property string medium: "#bbdefb"
    readonly property string normal: "#2196F3"
    readonly property string dark: "#1565c0"
    readonly property string accent: "#2196F3"
}
