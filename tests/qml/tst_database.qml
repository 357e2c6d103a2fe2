import QtQuick 2.15
import QtTest 1.2
import com 1.0

// The database slots called from QML in their short forms, as the screens call them.
TestCase {
    name: "Database"

    function test_short_forms_reach_the_store() {
        var id = Database.saveUser({"_id": "qml-owner", "name_family": "مدیر", "type": 100}, true)
        verify(id > 0)
        Database.initial()
        compare(Database.currentUser()["_id"], "qml-owner")
        compare(Database.getAgentList().length, 0)
        compare(Database.getAgentsCount(), 0)
        compare(Database.getLoggedInUsers().length, 1)
        verify(Database.updateDate(1700000000000))
        compare(Database.getUpdateDate(id), "1700000000000")
        compare(Database.getFilesCount(), 0)
        verify(Database.getFilesByProperty("qml-owner", 1).length === 0)
        verify(Database.isOpen())
        verify(Database.deleteAllTables())
    }

    SignalSpy {
        id: agents
        target: Database
        signalName: "agentListReady"
    }

    function test_pool_slot_answers_in_qml() {
        agents.clear()
        Database.getAgents()
        agents.wait(5000)
        compare(agents.count, 1)
    }
}
