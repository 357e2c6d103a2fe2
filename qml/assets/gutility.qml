pragma Singleton
import QtQuick 2.15
import com.native 1.0

UtilizeIO {
    id: utilities

    // The probe goes to the "ping_host" and "ping_port" settings when set, else to the server
    // link's own host and port, so that a closed network without public hosts keeps its link.
    function probe_host() {
        var host = value_of("ping_host")
        if (host)
            return String(host)
        return Sockets.ip ? String(Sockets.ip) : ""
    }

    function probe_port() {
        var port = Number(value_of("ping_port"))
        if (port > 0)
            return port
        port = Number(Sockets.port)
        return port > 0 ? port : 3001
    }

    function value_of(key) {
        var v = Settings.value(key, "")
        return v === undefined || v === null ? "" : v
    }

    function probe() {
        ping_host = probe_host()
        ping_port = probe_port()
        ping()
    }

    function start_pinging() {
        try {
            next_ping.stop()
            probe()
        } catch (e) {
            Toast.error(e, "start_pinging")
        }
    }

    onPingDone: {
        try {
            // A link that is already down reconnects by itself; dropping it again while it waits
            // would cancel that reconnection, so pinging stops until it opens again.
            if (Sockets.connected === false)
                return
            if (ok) {
                next_ping.start()
                return
            }
            // Out of reach: the link is dropped and reconnects by itself, which starts pinging
            // again once it opens.
            Sockets.disconnect()
        } catch (e) {
            Toast.error(e, "pingDone")
        }
    }

    property Timer next_ping: Timer {
        interval: 1500
        repeat: false
        onTriggered: {
            try {
                utilities.probe()
            } catch (e) {
                Toast.error(e, "ping")
            }
        }
    }
}
