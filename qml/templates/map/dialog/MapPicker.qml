import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import ".."

// The map in its picking mode over whatever is open, dialogs included.
Popup {
    id: picker

    signal picked(real lat, real lng)

    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: Consts.window ? Consts.window.width * 0.9 : 900
    height: Consts.window ? Consts.window.height * 0.9 : 700
    padding: 0

    contentItem: Item {
        LayoutMirroring.enabled: true
        LayoutMirroring.childrenInherit: true

        // The map is made once the popup stands in the window: it ties itself to the window then.
        Loader {
            anchors.fill: parent
            active: picker.opened
            sourceComponent: GoogleMap {
                pickMode: true
                onPointPicked: {
                    picker.picked(lat, lng)
                    picker.close()
                }
            }
        }
    }
}
