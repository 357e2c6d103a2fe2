import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

ApplicationWindow {
    id: window
    width: 1280
    height: 800
    visible: true
    title: "تاورلین"
    LayoutMirroring.enabled: true
    LayoutMirroring.childrenInherit: true
}
