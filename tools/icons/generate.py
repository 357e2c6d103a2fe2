#!/usr/bin/python3
"""Writes the Icons singleton (gicon.qml) from the icon font's style sheet.

Each rule `.mdi-ab-testing::before { content: "\\F01C9"; }` becomes the property
`abTesting: "F01C9"`, the code point as a hexadecimal text.
"""
import re
import sys

# Words QML does not take as property names; such an icon gets a trailing "Icon".
RESERVED = {
    "alias", "as", "break", "case", "catch", "class", "const", "continue", "debugger", "default",
    "delete", "do", "else", "enum", "export", "extends", "false", "finally", "for", "function",
    "if", "import", "in", "instanceof", "let", "new", "null", "on", "property", "readonly",
    "required", "return", "signal", "super", "switch", "this", "throw", "true", "try", "typeof",
    "var", "void", "while", "with", "yield", "component", "pragma", "implements", "interface",
    "package", "private", "protected", "public", "static", "await", "get", "set", "of",
    # members every QtObject already has, and global names QML refuses as property names
    "objectName", "destroy", "toString", "console",
}

RULE = re.compile(r'\.mdi-([a-z0-9-]+)::before\s*\{\s*content:\s*"\\([0-9A-Fa-f]+)"')


def camel(name):
    parts = name.split("-")
    out = parts[0] + "".join(p[:1].upper() + p[1:] for p in parts[1:])
    if out in RESERVED:
        out += "Icon"
    return out


def main(css_path, out_path):
    with open(css_path, encoding="utf-8") as f:
        css = f.read()
    icons = {}
    for name, code in RULE.findall(css):
        key = camel(name)
        if not key[0].isalpha():
            key = "icon" + key[0].upper() + key[1:]
        icons.setdefault(key, code.upper())
    if not icons:
        sys.exit("no icon rules found in " + css_path)
    lines = [
        "pragma Singleton",
        "import QtQuick 2.15",
        "",
        "// Generated from the icon font's style sheet: icon name to code point, in hexadecimal.",
        "QtObject {",
    ]
    lines += ['    readonly property string %s: "%s"' % (k, v) for k, v in icons.items()]
    lines.append("}")
    with open(out_path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: generate.py materialdesignicons.css gicon.qml")
    main(sys.argv[1], sys.argv[2])
