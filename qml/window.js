.pragma library

// Where the window opens on a screen whose free area (without panels and docks) is `area`
// ({x, y, width, height}) on a screen of screenWidth x screenHeight: 70 % of the screen each way
// and at least the minimum size, but never larger than the free area, and centred in it. A free
// area smaller than the minimum (a 768-pixel-high laptop screen with a panel) lowers the minimum
// to what there is, so no part of the window, nor a message shown at its bottom, falls below
// the screen's edge. `frame` ({left, top, right, bottom}, none when not given) is what the window
// manager draws around the window: title bar and frame fit in the free area too. Answers the
// window's own (inner) {x, y, width, height, minimumWidth, minimumHeight}.
function place(area, screenWidth, screenHeight, minimumWidth, minimumHeight, frame) {
    var f = frame || {}
    var fw = (f.left || 0) + (f.right || 0)
    var fh = (f.top || 0) + (f.bottom || 0)
    var freeW = Math.max(0, area.width - fw)
    var freeH = Math.max(0, area.height - fh)
    var minW = Math.min(minimumWidth, freeW)
    var minH = Math.min(minimumHeight, freeH)
    var w = Math.floor(Math.min(freeW, Math.max(minW, screenWidth * 0.7)))
    var h = Math.floor(Math.min(freeH, Math.max(minH, screenHeight * 0.7)))
    return {"x": area.x + (f.left || 0) + Math.floor((freeW - w) / 2),
            "y": area.y + (f.top || 0) + Math.floor((freeH - h) / 2),
            "width": w, "height": h, "minimumWidth": minW, "minimumHeight": minH}
}

// The same from what Utilities.available_geometry() answers; an empty answer (no screen) keeps
// the minimum size.
function placeOn(geometry, minimumWidth, minimumHeight, frame) {
    var g = geometry || {}
    if (!(g.width > 0) || !(g.height > 0))
        return {"x": 0, "y": 0, "width": minimumWidth, "height": minimumHeight,
                "minimumWidth": minimumWidth, "minimumHeight": minimumHeight}
    return place({"x": g.x || 0, "y": g.y || 0, "width": g.width, "height": g.height},
                 g.screen_width || g.width, g.screen_height || g.height, minimumWidth, minimumHeight, frame)
}
