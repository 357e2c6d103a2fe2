import QtQuick 2.15
import com 1.0
import "../../main"

// The agency's agents to send a file to, with the access dialogs' ticks and "select all"; the
// ticked agents' server ids go to `chosen`.
AccessDialog {
    objectName: "fileSendAgents"
    title: "ارسال فایل"
    chooseOnly: true

    function initial(options) {
        try {
            setRows(Database.getAgentList(), "_id", "name_family", [])
        } catch (e) {
            Toast.error(e, "FileSendAgents.initial")
        }
    }
}
