.pragma library
// The form settings request and the file cards' design object, apart from their screens.

var fontTitles = ["معمولی", "متوسط", "بزرگ", "خیلی بزرگ"]

// Shades 50, 100, 500 and 200 of blue, red, green, purple and deep orange.
var schemas = [
    {"back": "#e3f2fd", "dark": "#bbdefb", "icon": "#2196f3", "light": "#90caf9"},
    {"back": "#ffebee", "dark": "#ffcdd2", "icon": "#f44336", "light": "#ef9a9a"},
    {"back": "#e8f5e9", "dark": "#c8e6c9", "icon": "#4caf50", "light": "#a5d6a7"},
    {"back": "#f3e5f5", "dark": "#e1bee7", "icon": "#9c27b0", "light": "#ce93d8"},
    {"back": "#fbe9e7", "dark": "#ffccbc", "icon": "#ff5722", "light": "#ffab91"}
]

function clamp(v, lo, hi, dflt) {
    var n = Math.round(Number(v))
    if (isNaN(n))
        return dflt
    return Math.min(hi, Math.max(lo, n))
}

// fonts: {xSmall, small, normal, large, xLarge, xxLarge}; a phone takes one size smaller.
function fileTemplate(fontIndex, schemaIndex, cornerRadius, mobile, fonts) {
    var f = clamp(fontIndex, 0, 3, 0)
    var s = clamp(schemaIndex, 0, 4, 0)
    var ladder = [fonts.xSmall, fonts.small, fonts.normal, fonts.large, fonts.xLarge, fonts.xxLarge]
    var base = f + (mobile ? 0 : 1)
    var schema = schemas[s]
    return {
        "font_index": f,
        "font_title": fontTitles[f],
        "font_title_size": ladder[base],
        "font_value_size": ladder[base + 1],
        "schema_index": s,
        "back_color": schema.back,
        "back_color_dark": schema.dark,
        "value_color": "#000000",
        "title_color": "#757575",
        "icon_color": schema.icon,
        "divider_color": schema.light,
        "selected_color": schema.light,
        "corner_radius": clamp(cornerRadius, 1, 20, 10)
    }
}

// What the screen shows without a stored object.
function currentTemplate(stored) {
    if (stored && typeof stored === "object")
        return stored
    return {"corner_radius": 10, "font_title": fontTitles[0], "font_index": 0, "schema_index": 0,
            "back_color": schemas[0].dark}
}

function formSettingContent(userId, agentId, invisible) {
    var value = (invisible || []).map(function (t) { return {"key": t.key, "parent_key": t.parent_key} })
    return {"user_id": userId, "agent_id": agentId, "setting": {"key": "form", "value": JSON.stringify(value)}}
}

// The stored list from an "account_setting" reply, or null when it carries none.
function formSettingOf(content) {
    if (!content || !content.result || !content.result.setting)
        return null
    var form = content.result.setting.form
    if (Array.isArray(form))
        return form
    if (typeof form !== "string" || form === "")
        return []
    var parsed = JSON.parse(form)
    return Array.isArray(parsed) ? parsed : []
}
