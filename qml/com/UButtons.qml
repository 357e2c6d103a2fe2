import QtQuick 2.15
import QtQuick.Layouts 1.15

// A dialog's buttons: as wide as the column, the first at its right edge and the others after it
// leftwards, whether or not the column is mirrored. The buttons themselves keep the mirroring
// they inherit.
Row {
    objectName: "dialogButtons"
    width: parent ? parent.width : implicitWidth
    Layout.fillWidth: true
    LayoutMirroring.enabled: false
    layoutDirection: Qt.RightToLeft
    spacing: 8
}
