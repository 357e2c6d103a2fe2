import QtQuick 2.15
import com 1.0
import "../../main"
import "../../main/home.js" as Home
import "../../main/boardreads.js" as Reads

// The boards one agent may see, among the boards the server knows.
AccessDialog {
    id: dialog
    objectName: "agentTavorlinAccess"

    property var agent: ({})
    property var read: null

    title: "Tavorlin های قابل مشاهده " + (agent.name_family || "")

    function initial(options) {
        try {
            agent = options && options.agent ? options.agent : {}
            read = Reads.existingBoards(Database, function (boards) {
                read = null
                var ticked = Database.getTavorlinAccessList("", String(agent._id)).map(function (a) { return String(a.tavorlin_id) })
                setRows(boards, "_id", "title", ticked)
            })
        } catch (e) {
            Toast.error(e, "AgentTavorlinAccess.initial")
        }
    }

    onSubmitted: {
        var db = Database
        var content = {"user_id": Account.userId(), "agent_id": Account.agentId(), "agent_access": agent._id,
                       "tavorlin_add": diff.add, "tavorlin_remove": diff.remove}
        dialog.sending = Home.request(Sockets, Toast.show, "tavorlin_agent_access", content, null, false, function (result, reply) {
            db.saveAgentTavorlinAccess(result, Number(reply.timestamp) || -1)
            dialog.close()
        }, function () { dialog.sending = false })
    }

    Component.onDestruction: Reads.cancel(read)
}
