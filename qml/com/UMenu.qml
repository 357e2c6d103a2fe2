import QtQuick 2.15
import QtQuick.Controls 2.15
import "menuplace.js" as Place

// A menu that opens beside what it belongs to: under its button (over it when there is no room
// below) or at the pointer, kept inside the window and unfolding towards the screen's reading
// direction (leftwards in right to left).
Menu {
    id: menu

    // The program's screens read right to left.
    property bool rightToLeft: true

    function menuSize() {
        var h = topPadding + bottomPadding
        var w = implicitWidth
        // Entries of a closed menu are not visible yet; their sizes are known all the same.
        for (var i = 0; i < count; ++i) {
            var entry = itemAt(i)
            if (entry) {
                h += entry.implicitHeight
                w = Math.max(w, entry.implicitWidth + leftPadding + rightPadding)
            }
        }
        return {"width": w, "height": Math.max(h, implicitHeight)}
    }

    // The scene's root item spans the window.
    function sceneRoot(item) {
        var root = item
        while (root && root.parent)
            root = root.parent
        return root
    }

    function openRect(item, rect) {
        var win = sceneRoot(item)
        if (!win || win.width <= 0) {
            open()
            return
        }
        var topLeft = item.mapToItem(null, rect.x, rect.y)
        var size = menuSize()
        var at = Place.place({"x": topLeft.x, "y": topLeft.y, "width": rect.width, "height": rect.height},
                             size, {"width": win.width, "height": win.height}, rightToLeft)
        var local = menu.parent ? menu.parent.mapFromItem(null, at.x, at.y) : at
        menu.width = size.width
        menu.x = local.x
        menu.y = local.y
        open()
    }

    // Under (or over) the item, lined up with its start edge.
    function openBeside(item) {
        openRect(item, Qt.rect(0, 0, item.width, item.height))
    }

    // At a point of the item, such as where it was clicked.
    function openAt(item, x, y) {
        openRect(item, Qt.rect(x, y, 0, 0))
    }
}
