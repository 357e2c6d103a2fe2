import QtQuick 2.15
import QtQuick.Layouts 1.15
import com 1.0

// A dialog's title, or with `heading` a heading inside a column: as wide as the column and read
// from its right edge. It is never mirrored itself, since a mirrored right alignment draws at the
// left; the text starts right to left even when its first word is Latin.
Text {
    property string title: ""
    property bool heading: false

    objectName: "dialogTitle"
    width: parent ? parent.width : implicitWidth
    Layout.fillWidth: true
    LayoutMirroring.enabled: false
    horizontalAlignment: Text.AlignRight
    text: Consts.rtl(title)
    textFormat: Text.PlainText
    wrapMode: Text.WordWrap
    font.pointSize: heading ? 11 : 14
    font.bold: true
    color: heading ? "#263238" : "#0d47a1"
}
