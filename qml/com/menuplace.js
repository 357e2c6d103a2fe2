.pragma library

// Where a menu opens: beside what it belongs to and inside the window. `anchor` is the button's
// rectangle in window coordinates ({x, y, width, height}; a point has no width and height),
// `size` the menu's {width, height}, `bounds` the window's {width, height}. In a right-to-left
// screen the menu's right edge lines up with the button's right edge and it unfolds leftwards
// (from a point: leftwards from the point); in a left-to-right one the other way round. It opens
// below the button, above it when there is no room below, at its side when there is room neither
// below nor above, and is pushed inside the window where it still does not fit. Answers {x, y} of
// the menu's top-left corner.
function place(anchor, size, bounds, rtl, margin) {
    var m = margin === undefined ? 4 : margin
    var w = Math.min(size.width, Math.max(0, bounds.width - 2 * m))
    var h = Math.min(size.height, Math.max(0, bounds.height - 2 * m))
    var startX = rtl ? anchor.x + anchor.width - w : anchor.x
    var endX = rtl ? anchor.x : anchor.x + anchor.width - w
    var x = startX
    if (x < m || x + w > bounds.width - m)
        x = endX
    x = Math.max(m, Math.min(x, bounds.width - m - w))
    var below = anchor.y + anchor.height
    var y = below
    if (below + h > bounds.height - m) {
        if (anchor.y - h >= m) {
            y = anchor.y - h
        } else {
            // Neither under nor over it: at its side, so the button stays in sight.
            var side = rtl ? anchor.x - w : anchor.x + anchor.width
            var other = rtl ? anchor.x + anchor.width : anchor.x - w
            x = side >= m && side + w <= bounds.width - m ? side : other
            x = Math.max(m, Math.min(x, bounds.width - m - w))
            y = anchor.y
        }
    }
    y = Math.max(m, Math.min(y, bounds.height - m - h))
    return {"x": Math.round(x), "y": Math.round(y)}
}
