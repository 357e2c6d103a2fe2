import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// What a screen shows in place of its content to an account the manager has cut off from it.
Label {
    anchors.centerIn: parent
    width: parent ? parent.width - 40 : 0
    horizontalAlignment: Text.AlignHCenter
    wrapMode: Text.WordWrap
    textFormat: Text.PlainText
    text: Account.noAccessText
}
