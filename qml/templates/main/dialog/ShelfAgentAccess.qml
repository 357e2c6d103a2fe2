import QtQuick 2.15
import com 1.0
import ".."
import "../home.js" as Home

// The agents who may see one shelf.
AccessDialog {
    id: dialog
    objectName: "shelfAgentAccess"

    property var shelf: ({})

    title: "دسترسی کاربران به کمد"

    function initial(options) {
        try {
            shelf = options && options.shelf ? options.shelf : {}
            var ticked = Database.getShelvesAccessList(String(shelf._id), "").map(function (a) { return String(a.user_id) })
            setRows(Database.getAgentList(), "_id", "name_family", ticked)
        } catch (e) {
            Toast.error(e, "ShelfAgentAccess.initial")
        }
    }

    onSubmitted: {
        var db = Database
        var content = {"user_id": Account.userId(), "agent_id": Account.agentId(), "shelf_id": shelf._id,
                       "agent_add": diff.add, "agent_remove": diff.remove}
        dialog.sending = Home.request(Sockets, Toast.show, "shelf_access", content, null, true, function (result, reply) {
            db.saveShelfAgentAccess(String(result._id), Home.idList(result.access), Number(reply.timestamp) || -1)
            dialog.close()
        }, function () { dialog.sending = false })
    }
}
