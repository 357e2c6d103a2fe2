import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0
import "settings.js" as Logic
import "qrc:/com/rowsync.js" as RowSync

// The work report: how many files were registered between two dates, live and archived, and per
// property type the offers and requests of the chosen tab.
Page {
    id: report

    property var account: Account
    property var database: Database

    // The agent row a manager opened the report for; null for the whole agency or one's own.
    property var agent: null
    property bool archived: false
    property string startText: Dates.timestamp_to_jdate(Date.now() - Logic.week)
    property string endText: Dates.timestamp_to_jdate(Date.now())
    property int liveTotal: 0
    property int archivedTotal: 0
    property var rows: []
    property bool datesValid: true
    // In place, so the table stays where it was scrolled to when the counts are read again.
    onRowsChanged: RowSync.assign(rowModel, rows, function (row) { return row.title })

    ListModel { id: rowModel }

    objectName: "workReport"
    readonly property bool ownTitleBar: true
    title: "گزارش کار"

    function timestampOf(text) {
        var d = Logic.parseJalali(text, Dates.is_leap_year)
        return d ? Dates.jalali_to_timestamp(d.year, d.month, d.day) : 0
    }

    function refresh() {
        try {
            watch.taken()
            var start = timestampOf(startText)
            var end = timestampOf(endText)
            // The counts of the dates before would pass for the typed ones: none are shown.
            datesValid = !!start && !!end
            if (!datesValid) {
                liveTotal = 0
                archivedTotal = 0
                rows = []
                Toast.show(Logic.badDate)
                return
            }
            var who = Logic.reportAgent(account.isManager(), account.get() ? account.get()._id : "",
                                        agent ? agent._id : "")
            var f = Logic.reportFilters(start, end, archived, who)
            liveTotal = Logic.total(database.getReportCount(f.live))
            archivedTotal = Logic.total(database.getReportCount(f.archived))
            rows = Logic.reportRows(database.getReportCount(f.offers), database.getReportCount(f.requests))
        } catch (e) {
            Toast.error(e, "refresh")
        }
    }

    // Files written anywhere change the counts; dates being typed wrong are said when typed only.
    UFilesWatch {
        id: watch
        seen: report.visible
        onRefresh: if (report.datesValid) report.refresh()
    }

    header: ToolBar {
        Row {
            anchors.fill: parent
            spacing: 8
            ToolButton {
                font.family: Fonts.icon
                font.pointSize: 16
                text: String.fromCodePoint(parseInt(Icons.arrowRight, 16))
                objectName: "reportBack"
                onClicked: Stacks.leave(report)
            }
            Label {
                anchors.verticalCenter: parent.verticalCenter
                text: report.agent ? "گزارش کار " + (report.agent.name_family || "") : "گزارش کار"
                textFormat: Text.PlainText
                font.pointSize: 13
            }
        }
    }

    Column {
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.margins: 16
        // No wider than the body of a detail on a large window, in the middle.
        width: Math.min(parent.width - 32, Consts.body_max_width)
        spacing: 12

        Row {
            width: parent.width
            spacing: 12
            Label { anchors.verticalCenter: parent.verticalCenter; text: "تاریخ شروع" }
            TextField {
                objectName: "reportStart"
                width: 140
                text: report.startText
                onEditingFinished: { report.startText = text; report.refresh() }
            }
            Label { anchors.verticalCenter: parent.verticalCenter; text: "تاریخ پایان" }
            TextField {
                objectName: "reportEnd"
                width: 140
                text: report.endText
                onEditingFinished: { report.endText = text; report.refresh() }
            }
        }

        Row {
            width: parent.width
            spacing: 24
            Text {
                objectName: "reportLive"
                text: "تعداد کل فایل ها: " + (report.datesValid ? report.liveTotal : "-")
                font.pointSize: 13
            }
            Text {
                objectName: "reportArchived"
                text: "فایل های بایگانی شده: " + (report.datesValid ? report.archivedTotal : "-")
                font.pointSize: 13
            }
        }

        TabBar {
            id: tabs
            width: Math.min(parent.width, 420)
            anchors.left: parent.left
            currentIndex: report.archived ? 1 : 0
            UTabButton { objectName: "reportLiveTab"; text: "فایل های جاری"; onClicked: { report.archived = false; report.refresh() } }
            UTabButton { objectName: "reportArchivedTab"; text: "فایل های بایگانی"; onClicked: { report.archived = true; report.refresh() } }
        }

        // Every cell starts where its heading does, numbers as the words (mirrored with the layout).
        Row {
            width: parent.width
            spacing: 0
            Text { width: 220; text: "نوع ملک"; font.bold: true; horizontalAlignment: Text.AlignLeft }
            Text { width: 120; text: "عرضه"; font.bold: true; horizontalAlignment: Text.AlignLeft }
            Text { width: 120; text: "تقاضا"; font.bold: true; horizontalAlignment: Text.AlignLeft }
        }

        ListView {
            id: table
            width: parent.width
            // What the column leaves below the headings.
            height: Math.max(0, parent.height - y)
            clip: true
            model: rowModel
            delegate: Row {
                readonly property var modelData: JSON.parse(model.json)
                width: table.width
                height: 32
                Text { width: 220; text: modelData.title; textFormat: Text.PlainText; horizontalAlignment: Text.AlignLeft }
                Text { objectName: "reportOffers"; width: 120; text: String(modelData.offers); horizontalAlignment: Text.AlignLeft }
                Text { width: 120; text: String(modelData.requests); horizontalAlignment: Text.AlignLeft }
            }
        }
    }

    Component.onCompleted: refresh()
}
