import QtQuick 2.15
import "list"
import "list/list.js" as L

// The counterparts of one file, with the match tags set against it.
List {
    id: match

    property var file: null
    readonly property var found: file ? L.matchOptions(file) : ({"tradeType": -1, "propertyType": -1, "filters": []})

    objectName: "fileList"
    mode: "match"
    matchFile: file
    tradeType: found.tradeType
    propertyType: found.propertyType
    filters: found.filters
    title: "فایلهای مرتبط"
}
