pragma Singleton
import QtQuick 2.15

// The current account and every role and permission question the screens ask about it.
Item {
    id: accounts

    // The services it drives; null means the program's own singleton. Resolved on use, since the
    // socket singleton asks this one for the account while it starts.
    property var database: null
    property var sockets: null
    property var templates: null
    property var utilities: null

    // The account object: the full user JSON of the store, or null when nobody is logged in.
    property var account: null

    readonly property var userType: ({"AGENT": 0, "SECRETARY": 1, "VICE_MANAGER": 2, "USER": 100})
    readonly property var agentAccess: ({
        "ADD": 2, "EDIT": 4, "DELETE": 8, "SENSITIVE_INFO": 16, "PHONE_BOOK": 32,
        "LOGIN_WITH_WINDOWS": 64, "LOGIN_WITH_ANDROID": 128, "LOGIN_WITH_IOS": 256,
        "LOGIN_WITH_ONE_DEVICE": 1024, "ADVANCED_SEARCH": 2048
    })

    // Said of every action or screen a missing right guards.
    readonly property string noAccessText: "دسترسی شما به این بخش توسط مدیریت قطع شده است."
    readonly property string noAddText: noAccessText
    readonly property string noEditText: "امکان ویرایش فایلهای دیگران وجود ندارد."

    function db() { return database ? database : Database }
    function socket() { return sockets ? sockets : Sockets }
    function screens() { return templates ? templates : Templates }
    function platform() { return utilities ? utilities : Utilities }

    function isError(acc) {
        return !acc || typeof acc !== "object" || acc.error !== undefined
    }

    function copy(value) {
        return value === undefined ? undefined : JSON.parse(JSON.stringify(value))
    }

    function serverIdOf(value) {
        if (value && typeof value === "object")
            return value._id
        return value
    }

    function present(id) {
        return id !== undefined && id !== null && id !== ""
    }

    // A lookup's error object is no account, not an account without fields.
    function set(acc) {
        account = isError(acc) ? null : acc
        return account
    }

    function get() {
        return account
    }

    function load() {
        try {
            set(db().currentUser())
        } catch (e) {
            account = null
            Toast.error(e, "Account.load")
        }
    }

    function typeIs(code) {
        return !!account && Number(account.type) === code
    }

    function isManager() { return typeIs(userType.USER) }
    function isViceManager() { return typeIs(userType.VICE_MANAGER) }
    function isSecretary() { return typeIs(userType.SECRETARY) }
    function isAgent() { return typeIs(userType.AGENT) }
    function isManagerLevel() { return isManager() || isViceManager() }

    function userId() {
        if (!account)
            return undefined
        return isManager() ? account._id : serverIdOf(account.user_ref)
    }

    function agentId() {
        if (!account || isManager())
            return undefined
        return account._id
    }

    function parentServerId() {
        if (!account)
            return undefined
        if (isManager())
            return account._id
        return account.parent ? account.parent._id : undefined
    }

    function user() {
        if (!account)
            return null
        if (isManager())
            return account
        return account.parent ? account.parent : null
    }

    function syncedData() {
        var owner = user()
        return !!owner && owner.sync_data === true
    }

    function hasAgent() {
        return db().getAgentsCount()
    }

    function hasAccess(bit) {
        if (!account)
            return false
        return (Number(account.access) & bit) === bit
    }

    function canAdd() { return isManagerLevel() || hasAccess(agentAccess.ADD) }
    function canEdit() { return isManagerLevel() || hasAccess(agentAccess.EDIT) }
    function canDelete() { return isManagerLevel() || hasAccess(agentAccess.DELETE) }
    function canUseAdvancedSearch() { return isManagerLevel() || hasAccess(agentAccess.ADVANCED_SEARCH) }
    function canSeeSensitiveInfo() { return isManagerLevel() || hasAccess(agentAccess.SENSITIVE_INFO) }
    function canSeePhoneBook() { return isManagerLevel() || hasAccess(agentAccess.PHONE_BOOK) }

    // Without an agency id nothing is ours, even a file that has no owner either.
    function isOurFile(file) {
        var agency = parentServerId()
        return !!file && present(agency) && file.user_id === agency
    }

    function isMyFile(file) {
        if (!file || !account || !present(account._id))
            return false
        return isManager() ? file.user_id === account._id : file.agent_id === account._id
    }

    function canAddFile() {
        return canAdd() ? undefined : noAddText
    }

    function canEditFile(file) {
        return isOurFile(file) && (canEdit() || isMyFile(file)) ? undefined : noEditText
    }

    function canDeleteFile(file) {
        return isOurFile(file) && (isManagerLevel() || canDelete() || isMyFile(file))
    }

    function canArchiveFile(file) {
        return canDeleteFile(file)
    }

    function canSeeFileAddress(file) {
        if (!isOurFile(file))
            return false
        var bySecretary = !!file.agent && Number(file.agent.type) === userType.SECRETARY
        return isManagerLevel() || canSeeSensitiveInfo() || isMyFile(file) || bySecretary
    }

    // Why the screens may not do this guarded action, or undefined when they may: "search" the
    // advanced search, "contact" the phone book, "add" and "copy" a new file, "edit", "delete",
    // "archive", "archiveDue" and "deleteForever" on each of the files, "emptyRecycleBin", and
    // "send" a file to agents, the manager's own.
    // Restoring a file from the recycle bin and taking it out of the archive are refused to no one
    // who can see the file: they undo a removal rather than remove, as the menus offer them to all.
    function refusal(action, files) {
        var list = files || []
        var every = function (allowed) {
            for (var i = 0; i < list.length; ++i)
                if (!allowed(list[i]))
                    return false
            return true
        }
        switch (action) {
        case "search":
            return canUseAdvancedSearch() ? undefined : noAccessText
        case "contact":
            return canSeePhoneBook() ? undefined : noAccessText
        case "add":
        case "copy":
            return canAdd() ? undefined : noAccessText
        case "edit":
            return every(function (f) { return canEditFile(f) === undefined }) ? undefined : noEditText
        case "delete":
        case "deleteForever":
            return every(canDeleteFile) ? undefined : noAccessText
        case "archive":
        case "archiveDue":
            return every(canArchiveFile) ? undefined : noAccessText
        case "send":
            return isManager() ? undefined : noAccessText
        case "emptyRecycleBin":
            // The whole bin goes, other agents' files too.
            return canDelete() ? undefined : noAccessText
        }
        return undefined
    }

    // The page container's screens that a right guards: the file editor by what it is opened for.
    function containerRefusal(key, options) {
        if (key === "search" || key === "contact")
            return refusal(key)
        if (key === "file")
            return options && options.file ? refusal("edit", [options.file]) : refusal("add")
        return undefined
    }

    // Shows the refusal, if any; true when the action may go on.
    function allows(action, files) {
        var why = refusal(action, files)
        if (why !== undefined)
            Toast.show(why)
        return why === undefined
    }

    function allowsContainer(key, options) {
        var why = containerRefusal(key, options)
        if (why !== undefined)
            Toast.show(why)
        return why === undefined
    }

    function getImagePath() {
        return account && account.image ? account.image : ""
    }

    // An empty token is none: asking the server about it would only log the account out.
    function getToken() {
        if (!account || !account.device || !account.device.length)
            return null
        var token = account.device[0] ? account.device[0].token : null
        return token ? token : null
    }

    function hasValidLocation() {
        var owner = user()
        if (!owner || !owner.map)
            return false
        // NaN and 0 both read as false.
        return !!Number(owner.map.lat) && !!Number(owner.map.lng)
    }

    // A manager's record from the server as an account object for saveUser.
    function fromManagerRecord(record) {
        var acc = copy(record)
        acc.type = userType.USER
        delete acc.user_ref
        return acc
    }

    // An agent record from the server as an account object for saveUser. owner replaces the
    // record's "user_ref" when given (pushed records name the agency by its id).
    function fromAgentRecord(record, owner) {
        var acc = copy(record.agent_ref) || {}
        acc.user_ref = copy(owner !== undefined ? owner : record.user_ref)
        // The owner is the agency's manager; saved without a type it would overwrite a manager's
        // own row on this computer as an agent's.
        if (acc.user_ref && typeof acc.user_ref === "object")
            acc.user_ref.type = userType.USER
        acc.access = record.access
        acc.type = record.type
        acc.device = copy(record.device)
        acc.status = copy(record.status)
        if (record.setting !== undefined && record.setting !== null)
            acc.setting = copy(record.setting)
        return acc
    }

    // The logged-in agent of that agency with that server id, and no one else.
    function isCurrentAgent(agentServerId, agencyId) {
        if (!account || isManager() || !present(agentServerId) || account._id !== agentServerId)
            return false
        return !present(agencyId) || userId() === agencyId
    }

    // A pushed agent record: a one-device record of the current agent logs it out, any other is
    // stored. Answers "logout", or the stored row's local id.
    function applyAgentRecord(record, agencyId) {
        try {
            var acc = fromAgentRecord(record, agencyId)
            var oneDevice = (Number(acc.access) & agentAccess.LOGIN_WITH_ONE_DEVICE) !== 0
            if (oneDevice && isCurrentAgent(acc._id, serverIdOf(acc.user_ref))) {
                logout()
                return "logout"
            }
            var id = db().saveUser(acc, false)
            set(db().currentUser())
            return id
        } catch (e) {
            Toast.error(e, "applyAgentRecord")
            return 0
        }
    }

    // One failing step (the server link is down, say) must not keep the others from running.
    function attempt(name, step) {
        try {
            step()
        } catch (e) {
            Toast.error(e, name)
        }
    }

    function logout() {
        try {
            var database = db()
            if (account)
                database.logOut(account.id)
            var others = database.getLoggedInUsers() || []
            // Still the old account, so that the server hears who leaves.
            attempt("leave", function () { socket().leave() })
            var next = null
            if (others.length > 0) {
                database.changeCurrentUser(others[0].id)
                database.initial()
                next = database.currentUser()
            }
            if (!isError(next)) {
                set(next)
                attempt("check_validity", function () { socket().check_validity() })
                screens().replace("login/Index.qml", {"fromSetting": true, "step": 3})
            } else {
                screens().replace("SplashDesktop.qml")
                set(null)
            }
        } catch (e) {
            Toast.error(e, "logout")
        }
        attempt("closeAllDialogs", function () { platform().closeAllDialogs() })
    }

    Component.onCompleted: load()
}
