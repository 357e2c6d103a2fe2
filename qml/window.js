.pragma library

// Where the window opens on a screen whose free area (without panels and docks) is `area`
// ({x, y, width, height}) on a screen of screenWidth x screenHeight: 70 % of the screen each way
// and at least the minimum size, but never larger than the free area, and centred in it. A free
// area smaller than the minimum (a 768-pixel-high laptop screen with a panel) lowers the minimum
// to what there is, so no part of the window, nor a message shown at its bottom, falls below
// the screen's edge.
function place(area, screenWidth, screenHeight, minimumWidth, minimumHeight) {
    var minW = Math.min(minimumWidth, area.width)
    var minH = Math.min(minimumHeight, area.height)
    var w = Math.floor(Math.min(area.width, Math.max(minW, screenWidth * 0.7)))
    var h = Math.floor(Math.min(area.height, Math.max(minH, screenHeight * 0.7)))
    return {"x": area.x + Math.floor((area.width - w) / 2), "y": area.y + Math.floor((area.height - h) / 2),
            "width": w, "height": h, "minimumWidth": minW, "minimumHeight": minH}
}

// The same from what Utilities.available_geometry() answers; an empty answer (no screen) keeps
// the minimum size.
function placeOn(geometry, minimumWidth, minimumHeight) {
    var g = geometry || {}
    if (!(g.width > 0) || !(g.height > 0))
        return {"x": 0, "y": 0, "width": minimumWidth, "height": minimumHeight,
                "minimumWidth": minimumWidth, "minimumHeight": minimumHeight}
    return place({"x": g.x || 0, "y": g.y || 0, "width": g.width, "height": g.height},
                 g.screen_width || g.width, g.screen_height || g.height, minimumWidth, minimumHeight)
}
