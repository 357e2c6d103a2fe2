pragma Singleton
import QtQuick 2.15
import com 1.0

Item {
    readonly property string light: Colors.blue_50
    readonly property string medium: Colors.blue_100
    readonly property string normal: Colors.blue_500
    readonly property string dark: Colors.blue_800
    readonly property string accent: Colors.blue_500
}
