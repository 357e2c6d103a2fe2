pragma Singleton
import QtQuick 2.15
import com.native 1.0

UtilizeIO {
    id: utilities

    // Consecutive failed probes that are taken as the server being out of reach.
    readonly property int ping_failures_allowed: 3
    property int ping_failures: 0

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
            ping_failures = 0
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
            if (Sockets.connected === false) {
                ping_failures = 0
                return
            }
            if (ok) {
                ping_failures = 0
                next_ping.start()
                return
            }
            ping_failures += 1
            if (ping_failures >= ping_failures_allowed) {
                ping_failures = 0
                Sockets.disconnect()
            } else {
                next_ping.start()
            }
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
