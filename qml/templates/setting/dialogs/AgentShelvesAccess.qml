import QtQuick 2.15
import com 1.0
import "../../main"
import "../../main/home.js" as Home

// The shelves one agent may see.
AccessDialog {
    id: dialog
    objectName: "agentShelvesAccess"

    property var agent: ({})

    title: "کمد های قابل مشاهده " + (agent.name_family || "")

    function initial(options) {
        try {
            agent = options && options.agent ? options.agent : {}
            var shelves = []
            var take = function (list) { shelves = list }
            Database.shelvesListReady.connect(take)
            Database.getShelvesList()
            Database.shelvesListReady.disconnect(take)
            var ticked = Database.getShelvesAccessList("", String(agent._id)).map(function (a) { return String(a.shelf_id) })
            setRows(shelves, "_id", "name", ticked)
        } catch (e) {
            Toast.error(e, "AgentShelvesAccess.initial")
        }
    }

    onSubmitted: {
        var db = Database
        var content = {"user_id": Account.userId(), "agent_id": Account.agentId(), "agent_access": agent._id,
                       "shelf_add": diff.add, "shelf_remove": diff.remove}
        dialog.sending = Home.request(Sockets, Toast.show, "shelf_agent_access", content, null, false, function (result, reply) {
            db.saveAgentShelfAccess(result, Number(reply.timestamp) || -1)
            dialog.close()
        }, function () { dialog.sending = false })
    }
}
