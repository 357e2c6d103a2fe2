import QtQuick 2.15
import QtQuick.Controls 2.15
import com 1.0

// Login in three steps: the number, the confirmation code, and the account to enter.
Page {
    id: login

    // The services login drives; a test hands in its own.
    property var account: Account
    property var database: Database
    property var sockets: Sockets
    property var templates: Templates
    property var consts: Consts
    property var utilities: Utilities
    property var updates: Updates
    property var toast: Toast

    // Set by whoever opens the screen: the settings and a logout open the chooser at step 3.
    property bool fromSetting: false
    property int step: 1

    property int countryCode: 98
    // The number or e-mail address the code went to.
    property string identity: ""
    // The chooser: account objects, type 100 for an own account, else the agency's role.
    property var entries: []

    readonly property int build: consts.window && consts.window.tavorlin_version ? consts.window.tavorlin_version : 134
    readonly property string installer: consts.window && consts.window.ip_version ? consts.window.ip_version : "IP2"

    readonly property string badNumberText: "شماره همراه صحیح را وارد کنید."
    readonly property string wrongCodeText: "کد وارد شده صحیح نیست!"
    readonly property string notSavedText: "ذخیره حساب کاربری انجام نشد."

    property alias byCell: byCellStep
    property alias codeStep: codeStepItem

    function copy(value) {
        return value === undefined || value === null ? value : JSON.parse(JSON.stringify(value))
    }

    function ownerId(entry) {
        var owner = entry ? entry.user_ref : undefined
        return owner && typeof owner === "object" ? owner._id : owner
    }

    function device() {
        return {
            "notification": "", "app": consts.version(), "os": utilities.os_name(), "ip": utilities.myIP(),
            "model": "", "version": build, "ip_version": installer
        }
    }

    // One handler per reply name, taken down by its own reply.
    function request(name, content, handler) {
        var reply = name + "_result"
        sockets.on(reply, function (answer) {
            try {
                sockets.off(reply)
                handler(answer && answer.content !== undefined ? answer.content : null)
            } catch (e) {
                Toast.error(e, reply)
            }
        })
        sockets.send(name, content)
    }

    function submitNumber(country, value) {
        try {
            if (country === 98) {
                var digits = String(consts.fixNumbers(String(value)))
                if (!/^09[0-9]{9}$/.test(digits)) {
                    toast.show(badNumberText)
                    return false
                }
                request("mobile_check", {"country_code": 98, "mobile": digits}, function (content) {
                    if (content !== null)
                        toCode(digits, 98)
                })
            } else {
                var email = String(value).trim()
                request("email_check", {"country_code": country, "email": email}, function (content) {
                    if (content !== null)
                        toCode(email, country)
                })
            }
            return true
        } catch (e) {
            Toast.error(e, "submitNumber")
            return false
        }
    }

    function toCode(who, country) {
        identity = who
        countryCode = country
        step = 2
        codeStepItem.clear()
    }

    function verify(code) {
        try {
            request("verify_check", {"country_code": countryCode, "code": code, "mobile": identity}, function (content) {
                // No answer is no match: an empty reply must not log anybody in.
                if (!content || content.match === false) {
                    toast.show(wrongCodeText)
                    codeStepItem.clear()
                    return
                }
                buildChooser(content.account, content.agent)
            })
        } catch (e) {
            Toast.error(e, "verify")
        }
    }

    function resendCode() {
        try {
            sockets.send("code_resend", {"mobile": identity})
        } catch (e) {
            Toast.error(e, "resendCode")
        }
    }

    function buildChooser(own, agents) {
        agents = agents || []
        if (!own) {
            sendLogin({"country_code": "98", "mobile": identity, "device": device()})
            return
        }
        if (agents.length === 0) {
            sendLogin({"country_code": "98", "user_id": own._id, "mobile": identity, "device": device()})
            return
        }
        var list = []
        var self = copy(own)
        self.type = 100
        list.push(self)
        for (var i = 0; i < agents.length; ++i) {
            var entry = copy(own)
            entry.user_ref = copy(agents[i].user_ref)
            entry.type = agents[i].type
            list.push(entry)
        }
        entries = list
        step = 3
    }

    // The chooser of every account of the people logged in on this computer.
    function openMine() {
        try {
            var users = database.getLoggedInUsers() || []
            var mobiles = []
            for (var i = 0; i < users.length; ++i) {
                var m = users[i].mobile
                if (m && mobiles.indexOf(m) === -1)
                    mobiles.push(m)
            }
            request("account_mine", {"mobile": mobiles}, function (content) {
                content = content || {}
                var list = []
                var own = content.account || []
                for (var a = 0; a < own.length; ++a) {
                    var self = copy(own[a])
                    self.type = 100
                    list.push(self)
                }
                var agents = content.agent || []
                for (var g = 0; g < agents.length; ++g) {
                    var entry = copy(agents[g].agent_ref) || {}
                    entry.user_ref = copy(agents[g].user_ref)
                    entry.type = agents[g].type
                    list.push(entry)
                }
                entries = list
            })
        } catch (e) {
            Toast.error(e, "openMine")
        }
    }

    function entryTitle(entry) {
        if (Number(entry.type) === 100)
            return "حساب شخصی"
        var owner = entry.user_ref && typeof entry.user_ref === "object" ? entry.user_ref : {}
        return "مدیریت : " + (owner.name_family || "")
    }

    function entryDetail(entry) {
        return Number(entry.type) === 100 ? (entry.mobile || "") : ""
    }

    function choose(entry) {
        try {
            var manager = Number(entry.type) === 100
            var content = {"country_code": "98", "user_id": manager ? entry._id : ownerId(entry)}
            if (!manager)
                content.agent_id = entry._id
            content.mobile = entry.mobile
            content.device = device()
            sendLogin(content)
        } catch (e) {
            Toast.error(e, "choose")
        }
    }

    function sendLogin(content) {
        request("account_login", content, finishLogin)
    }

    function attempt(name, step) {
        try {
            step()
        } catch (e) {
            Toast.error(e, name)
        }
    }

    function finishLogin(content) {
        try {
            content = content || {}
            var acc = null
            if (content.account)
                acc = account.fromManagerRecord(content.account)
            else if (content.agent)
                acc = account.fromAgentRecord(content.agent)
            if (!acc) {
                toast.show(notSavedText)
                return false
            }
            if (account.get())
                attempt("leave", function () { sockets.leave() })
            // Ids start at 1: 0 is the store's failure, and logging in on it would enter nobody.
            var id = database.saveUser(acc, true)
            if (!(id > 0)) {
                toast.show(notSavedText)
                return false
            }
            database.initial()
            var current = database.currentUser()
            if (current && current.error === undefined)
                account.set(current)
            attempt("join", function () { sockets.join() })
            if (account.syncedData())
                attempt("Updates.start", function () { updates.start() })
            templates.replace("main/Index.qml")
            return true
        } catch (e) {
            Toast.error(e, "finishLogin")
            return false
        }
    }

    background: Rectangle {
        gradient: Gradient {
            GradientStop { position: 0; color: "#e3f2fd" }
            GradientStop { position: 1; color: "#bbdefb" }
        }
    }

    Column {
        anchors.centerIn: parent
        width: Math.min(480, login.width - 40)
        spacing: 28

        Image {
            anchors.horizontalCenter: parent.horizontalCenter
            width: 96
            height: 96
            source: "qrc:/assets/images/logo.png"
            sourceSize: Qt.size(width, height)
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "ورود به تاورلین"
            color: "#0d47a1"
            font.pointSize: 20
            font.bold: true
        }

        LoginByCell {
            id: byCellStep
            visible: login.step === 1
            width: parent.width
            consts: login.consts
            onSubmitted: login.submitNumber(countryCode, value)
        }

        LoginCode {
            id: codeStepItem
            visible: login.step === 2
            width: parent.width
            consts: login.consts
            identity: login.identity
            onVerify: login.verify(code)
            onResend: login.resendCode()
            onCorrect: login.step = 1
        }

        Column {
            id: chooser
            visible: login.step === 3
            width: parent.width
            spacing: 12

            Text {
                width: parent.width
                horizontalAlignment: Text.AlignHCenter
                text: "به چه حسابی میخواهید وارد شوید ؟"
                color: "#0d47a1"
                font.pointSize: 14
            }

            ListView {
                id: entryList
                width: parent.width
                height: Math.min(contentHeight, 320)
                clip: true
                spacing: 8
                model: login.entries

                delegate: ItemDelegate {
                    width: entryList.width
                    height: 72
                    background: Rectangle {
                        radius: 8
                        color: parent.hovered ? "#bbdefb" : "#ffffff"
                        border.color: "#90caf9"
                    }
                    contentItem: Column {
                        spacing: 2
                        Text {
                            width: parent.width
                            text: login.entryTitle(modelData)
                            color: "#0d47a1"
                            font.pointSize: 13
                            horizontalAlignment: Text.AlignLeft
                        }
                        Text {
                            width: parent.width
                            visible: text !== ""
                            text: login.entryDetail(modelData)
                            color: "#757575"
                            font.pointSize: 11
                            horizontalAlignment: Text.AlignLeft
                        }
                    }
                    onClicked: login.choose(modelData)
                }
            }

            Button {
                width: parent.width
                flat: true
                text: "ورود با حساب جدید"
                onClicked: login.step = 1
            }
        }

        Button {
            anchors.horizontalCenter: parent.horizontalCenter
            // Only a chooser pushed over another page has somewhere to go back to.
            visible: login.fromSetting && login.StackView.index > 0
            flat: true
            text: "بازگشت"
            onClicked: Stacks.back()
        }
    }

    Component.onCompleted: {
        if (step === 3)
            openMine()
    }
}
