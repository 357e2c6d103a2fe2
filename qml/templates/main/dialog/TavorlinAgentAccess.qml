import QtQuick 2.15
import com 1.0
import ".."
import "../home.js" as Home

// The agents who may see one board.
AccessDialog {
    id: dialog
    objectName: "tavorlinAgentAccess"

    property var tavorlin: ({})

    title: "دسترسی کاربران به Tavorlin"

    function initial(options) {
        try {
            tavorlin = options && options.tavorlin ? options.tavorlin : {}
            chooseOnly = !!(options && options.chooseOnly)
            var ticked = chooseOnly ? [] : Database.getTavorlinAccessList(String(tavorlin._id), "").map(function (a) {
                return String(a.user_id)
            })
            setRows(Database.getAgentList(), "_id", "name_family", ticked)
        } catch (e) {
            Toast.error(e, "TavorlinAgentAccess.initial")
        }
    }

    onSubmitted: {
        var db = Database
        var content = {"user_id": Account.userId(), "agent_id": Account.agentId(), "tavorlin_id": tavorlin._id,
                       "agent_add": diff.add, "agent_remove": diff.remove}
        dialog.sending = Home.request(Sockets, Toast.show, "tavorlin_access", content, null, true, function (result, reply) {
            db.saveTavorlinAgentAccess(String(result._id), Home.idList(result.access), Number(reply.timestamp) || -1)
            dialog.close()
        }, function () { dialog.sending = false })
    }
}
