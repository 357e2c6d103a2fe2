import QtQuick 2.15

// The agency's districts.
TagSettings {
    kind: "district"
}
