import QtQuick 2.15

// The one stand-in of the database object (tests derive from it to keep rows of their own): every
// slot the synchronisation, notice, account, login and splash code calls, under the real name and
// answering with the real type, and every call recorded. The download's saves answer when the
// test says so, the update's saves at once, as the real ones do. tst_standin.qml holds it to the
// real slot list and to the calls of that code.
QtObject {
    id: db

    signal error(string error, string func)
    signal userDataCleared()
    signal usersSaved()
    signal contactsSaved()
    signal districtsSaved()
    signal hashtagsSaved()
    signal notesSaved()
    signal activitiesSaved()
    signal tavorlinsSaved()
    signal shelvesSaved()
    signal filesSaved()
    signal unseenSaved()

    // {slot, args} of every call, in order.
    property var calls: []
    // Saves that have not answered yet, oldest first: {slot, signal}.
    property var pending: []
    // slot name to the message its next call fails with.
    property var failures: ({})
    property var user: ({"_id": "u1", "type": 100, "default_tavorlin": false})
    property string updateDate_: "123"

    function reset() {
        calls = []; pending = []; failures = {}
        user = {"_id": "u1", "type": 100, "default_tavorlin": false}
    }

    function record(slot, args) {
        var list = calls
        list.push({"slot": slot, "args": JSON.parse(JSON.stringify(Array.prototype.slice.call(args)))})
        calls = list
    }

    function slots() { return calls.map(function (c) { return c.slot }) }
    function callsOf(slot) { return calls.filter(function (c) { return c.slot === slot }) }

    function fail(slot, message) {
        var f = failures
        f[slot] = message
        failures = f
    }

    // The failure is reported before the answer, as the real object does.
    function report(slot) {
        var message = failures[slot]
        if (message !== undefined) {
            var f = failures
            delete f[slot]
            failures = f
            db.error(message, slot)
        }
    }

    function later(slot, signalName, args) {
        record(slot, args)
        var list = pending
        list.push({"slot": slot, "signal": signalName})
        pending = list
    }

    function now(slot, signalName, args) {
        record(slot, args)
        report(slot)
        db[signalName]()
    }

    // Answers the oldest save; false when none is waiting.
    function answer() {
        if (pending.length === 0)
            return false
        var list = pending
        var next = list.shift()
        pending = list
        report(next.slot)
        db[next.signal]()
        return true
    }

    // A page whose list the socket object kept native: which save it went to, then that save.
    property var nativePages: []
    function initialSavePage(save, list) {
        var p = nativePages
        p.push({"save": save, "list": list})
        nativePages = p
        db[save](list.toArray())
    }

    function initialSaveUsers(list) { later("initialSaveUsers", "usersSaved", arguments) }
    function initialSaveContacts(list) { later("initialSaveContacts", "contactsSaved", arguments) }
    function initialSaveDistricts(list) { later("initialSaveDistricts", "districtsSaved", arguments) }
    function initialSaveHashtags(list) { later("initialSaveHashtags", "hashtagsSaved", arguments) }
    function initialSaveNotes(list) { later("initialSaveNotes", "notesSaved", arguments) }
    function initialSaveActivities(list) { later("initialSaveActivities", "activitiesSaved", arguments) }
    function initialSaveTavorlins(list) { later("initialSaveTavorlins", "tavorlinsSaved", arguments) }
    function initialSaveShelves(list) { later("initialSaveShelves", "shelvesSaved", arguments) }
    function initialSaveFiles(list) { later("initialSaveFiles", "filesSaved", arguments) }
    function unseen(list) { later("unseen", "unseenSaved", arguments) }
    function clearUserData() { later("clearUserData", "userDataCleared", arguments) }
    function saveDefaultTavorlins() { later("saveDefaultTavorlins", "tavorlinsSaved", arguments) }

    function initialUpdateSaveUsers(list) { now("saveUsers", "usersSaved", arguments) }
    function initialUpdateSaveContacts(list) { now("saveContacts", "contactsSaved", arguments) }
    function initialUpdateSaveDistricts(list) { now("saveDistricts", "districtsSaved", arguments) }
    function initialUpdateSaveHashtags(list) { now("saveHashtags", "hashtagsSaved", arguments) }
    function initialUpdateSaveNotes(list) { now("saveNotes", "notesSaved", arguments) }
    function initialUpdateSaveActivities(list) { now("saveActivities", "activitiesSaved", arguments) }
    function initialUpdateSaveTavorlins(list) { now("saveTavorlins", "tavorlinsSaved", arguments) }
    function initialUpdateSaveShelves(list) { now("saveShelves", "shelvesSaved", arguments) }
    function initialUpdateSaveFiles(list) { now("saveFiles", "filesSaved", arguments) }

    function updateDate(date) { record("updateDate", arguments); return true }
    function getUpdateDate() { record("getUpdateDate", arguments); return updateDate_ }
    function currentUser() { return user }
    function initial() { record("initial", arguments) }
    function removeDb() { record("removeDb", arguments) }

    // The slots the pushed notices, the accounts and the splash write through.
    function saveTavorlins() { record("saveTavorlins", arguments) }
    function editTavorlin() { record("editTavorlin", arguments); return true }
    function deleteTavorlin() { record("deleteTavorlin", arguments); return true }
    function saveAgentTavorlinAccess() { record("saveAgentTavorlinAccess", arguments); return true }
    function saveTavorlinAgentAccess() { record("saveTavorlinAgentAccess", arguments); return true }
    function deleteShelf() { record("deleteShelf", arguments); return true }
    function saveAgentShelfAccess() { record("saveAgentShelfAccess", arguments); return true }
    function saveShelfAgentAccess() { record("saveShelfAgentAccess", arguments); return true }
    function deleteFile() { record("deleteFile", arguments); return true }
    function fileSeen() { record("fileSeen", arguments); return true }
    function deleteFilesByFilter() { record("deleteFilesByFilter", arguments) }
    function saveFileHashTags() { record("saveFileHashTags", arguments); return true }
    function pinFile() { record("pinFile", arguments); return true }
    function archiveFile() { record("archiveFile", arguments); return true }
    function moveFileToRecyclerbin() { record("moveFileToRecyclerbin", arguments); return true }
    function adColleagueFile() { record("adColleagueFile", arguments); return true }
    function deleteNote() { record("deleteNote", arguments); return true }
    function saveActivity() { record("saveActivity", arguments); return true }
    function deleteDistrict() { record("deleteDistrict", arguments); return true }
    function deleteContact() { record("deleteContact", arguments); return true }
    function deleteAgent() { record("deleteAgent", arguments) }
    function saveFormSettings() { record("saveFormSettings", arguments) }
    function getUserById() { record("getUserById", arguments); return {"error": "no user was found for that query!"} }
    function getAgentsCount() { record("getAgentsCount", arguments); return 0 }
    function getLoggedInUsers() { record("getLoggedInUsers", arguments); return [] }
    function logOut() { record("logOut", arguments); return true }
    function changeCurrentUser() { record("changeCurrentUser", arguments); return true }
    function saveCities() { record("saveCities", arguments) }
    function changeShelvesTavorlins() { record("changeShelvesTavorlins", arguments) }
    function saveShelf() { record("saveShelf", arguments); return true }
    function saveFiles() { record("saveFiles", arguments) }
    function saveContacts() { record("saveContacts", arguments) }
    function saveDistricts() { record("saveDistricts", arguments) }
    function saveHashtags() { record("saveHashtags", arguments) }
    function deleteHashtag() { record("deleteHashtag", arguments); return true }
    function saveNote() { record("saveNote", arguments); return true }
    function deleteActivity() { record("deleteActivity", arguments); return true }
    function removeDocument() { record("removeDocument", arguments) }
    function saveUser() { record("saveUser", arguments); return 1 }
    function editAgentNumber() { record("editAgentNumber", arguments) }
}
