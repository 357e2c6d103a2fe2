pragma Singleton
import QtQuick 2.15
import com.native 1.0
import "texts.js" as Texts

// Every request to the server and every reply from it passes here: the envelope, the offline
// rule, the reply handlers by event name and the pushed notices.
SocketIO {
    id: sockets

    protocol: "https"
    ip: "api.tavorlin.ir"
    port: 3001

    // The server knows only its four client codes; this build presents itself as the desktop one.
    readonly property int platform: (Consts.windows || Consts.linux) ? 64
                                    : Consts.android ? 128
                                    : Consts.ios ? 256
                                    : Consts.mac ? 512 : -1
    readonly property int lang: 1
    property bool connected: false
    property var map: ({})
    property double lastRequestTime: 0

    readonly property var statusNames: ({
        "1": "OnClosed", "2": "OnFailed", "3": "OnOpen",
        "4": "OnReconnecting", "8": "OnReconnect", "10": "OnSocketClose"
    })
    readonly property var sentOffline: ["check_connection", "province_list"]
    readonly property var silentOffline: ["count", "version_check", "account_select"]
    readonly property string offlineMessage: "متاسفانه انجام این عملیات در حالت آفلاین امکان پذیر نمی باشد."

    onStatus: handleStatus(msg)
    onRecieve: handleReply(name, data)
    onRecievePage: handlePage(name, reply, list, size)

    function send(name, content, payload) {
        try {
            if (!connected && sentOffline.indexOf(name) === -1) {
                if (silentOffline.indexOf(name) === -1) {
                    console.log("request name", name)
                    Toast.show(offlineMessage)
                }
                return
            }
            var envelope = {
                "platform": platform,
                "lang": lang,
                "v": Consts.version_short2(),
                "content": (content === undefined || content === null) ? {} : content
            }
            if (payload !== undefined && payload !== null)
                envelope.payload = payload
            var text = JSON.stringify(envelope)
            lastRequestTime = Date.now()
            if (name !== "check_connection")
                console.log("#REQUEST TO " + name, Texts.logText(name, envelope, text))
            sockets.emit(name, asciiDigits(text))
        } catch (e) {
            Toast.error(e, "send")
        }
    }

    // Persian and Arabic-Indic digits leave as ASCII digits.
    function asciiDigits(text) {
        return Consts.fixNumbers(String(text))
    }

    function on(name, func) {
        try {
            map[name] = func
            console.log("slot " + name + " being added")
        } catch (e) {
            Toast.error(e, "on")
        }
    }

    // Sends one request and hands its reply to onReply once. A reply the server refused goes to
    // onFailure with the refusal's message (already shown as a toast). Offline, the user is told
    // and false comes back.
    function request(name, content, onReply, onFailure) {
        if (!connected) {
            Toast.show(offlineMessage)
            return false
        }
        var event = name + "_result"
        on(event, function (reply) {
            off(event)
            off(event + "_error")
            try {
                onReply(reply || {})
            } catch (e) {
                Toast.error(e, event)
            }
        })
        on(event + "_error", function (refusal) {
            off(event)
            off(event + "_error")
            if (typeof onFailure === "function")
                onFailure(messageText(refusal))
        })
        send(name, content)
        return true
    }

    // The text of a reply's message, or the fallback when it has none.
    function messageText(reply, fallback) {
        var m = reply ? reply.message : null
        if (m && typeof m === "object" && m.msg !== undefined && m.msg !== null)
            return String(m.msg)
        if (typeof m === "string" && m !== "")
            return m
        return fallback !== undefined ? fallback : "درخواست انجام نشد."
    }

    function off(name) {
        try {
            delete map[name]
        } catch (e) {
            Toast.error(e, "off")
        }
    }

    function initial() {
        try {
            sockets.connection()
        } catch (e) {
            Toast.error(e, "initial")
        }
    }

    function connect(host, portNumber) {
        try {
            if (host)
                sockets.ip = host
            if (portNumber)
                sockets.port = portNumber
            sockets.connection()
        } catch (e) {
            Toast.error(e, "connect")
        }
    }

    function accountContent() {
        return {"user_id": Account.userId(), "agent_id": Account.agentId()}
    }

    function join() {
        try {
            send("join", accountContent())
        } catch (e) {
            Toast.error(e, "join")
        }
    }

    function leave() {
        try {
            if (Account.get())
                send("leave", accountContent())
        } catch (e) {
            Toast.error(e, "leave")
        }
    }

    function check_validity() {
        try {
            var token = Account.getToken()
            if (token === null || token === undefined)
                return
            var content = accountContent()
            content.token = token
            send("validity_token", content)
        } catch (e) {
            Toast.error(e, "check_validity")
        }
    }

    function handleStatus(msg) {
        try {
            connected = false
            if (msg === 3) {
                connected = true
                if (Account.get())
                    check_validity()
            }
            console.log("***************" + (statusNames[String(msg)] || msg))
        } catch (e) {
            Toast.error(e, "handleStatus")
        }
    }

    function handleReply(name, data) {
        try {
            var time = Date.now() - lastRequestTime
            var reply = JSON.parse(data)
            // The object store's secret key never goes to the log, nor does a token or a code.
            var logged = name === "aws_target_result" ? "(object-store settings)" : Texts.logText(name, reply, data)
            console.log("#RESPONSE", name + "////" + logged + " ____TIME::: " + time + " milisecond")
            dispatch(name, reply)
        } catch (e) {
            Toast.error(e, "handleReply")
        }
    }

    // A page of the first download, parsed by the socket object: its list stays native and goes
    // back into the content here; the log names the page and its size rather than its records.
    function handlePage(name, reply, list, size) {
        try {
            var time = Date.now() - lastRequestTime
            if (list !== undefined && reply.content)
                reply.content.list = list
            console.log("#RESPONSE", name + "////(" + size + " bytes) ____TIME::: " + time + " milisecond")
            dispatch(name, reply)
        } catch (e) {
            Toast.error(e, "handleReply")
        }
    }

    function dispatch(name, reply) {
        try {
            if (name.indexOf("notify") !== -1) {
                if (Consts.initial_busy) {
                    var pending = Consts.pending_notifies
                    pending.push({"event": name, "data": reply})
                    Consts.pending_notifies = pending
                } else {
                    Notification.handleNotification(name, reply)
                }
                return
            }

            if (name === "validity_token_result") {
                applyValidity(reply)
                return
            }

            if (reply.ok) {
                var handler = map[name]
                if (typeof handler === "function")
                    handler({"content": reply.content, "payload": reply.payload, "timestamp": reply.timestamp,
                             "message": reply.message})
                else
                    console.log("slot " + name + " is undefined")
                return
            }

            if (reply.message && reply.message.msg !== undefined)
                Toast.show(reply.message.msg)
            // The refusal goes along, for a screen that keeps its message.
            var onError = map[name + "_error"]
            if (typeof onError === "function")
                onError(reply)
        } catch (e) {
            Toast.error(e, "handleReply")
        }
    }

    // The road after each connection: the token is checked, then "join", then the update.
    function applyValidity(reply) {
        try {
            if (reply.content && reply.content.valid === true) {
                join()
                if (Account.get() && Account.syncedData())
                    Updates.start()
            } else {
                Account.logout()
            }
        } catch (e) {
        }
    }
}
