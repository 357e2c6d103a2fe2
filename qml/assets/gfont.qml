pragma Singleton
import QtQuick 2.15

// Family names of the fonts the program loads; the Persian family stands in for every text face.
Item {
    readonly property string app: "Vazirmatn"
    readonly property string light: "Vazirmatn Light"
    readonly property string dn: "Vazirmatn"
    readonly property string dnlight: "Vazirmatn Light"
    readonly property string icon: "Material Design Icons"
}
