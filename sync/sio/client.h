// A socket.io client: Engine.IO v4 over a TLS WebSocket, Socket.IO v5 on top. Its network
// thread runs from connect() to close(); every listener runs there.
#pragma once

#include "sio/socket.h"

#include <functional>
#include <memory>
#include <string>

namespace sio {

class client
{
public:
    using con_listener = std::function<void()>;
    // The attempt number (from 0) and the delay in milliseconds before it starts.
    using reconnect_listener = std::function<void(unsigned attempt, unsigned delay)>;
    using socket_listener = std::function<void(const std::string &nsp)>;
    using log_listener = std::function<void(const std::string &line)>;

    client();
    // Closes the connection and joins the network thread.
    ~client();

    client(const client &) = delete;
    client &operator=(const client &) = delete;

    // Listeners are set before connect(); clear_listeners() may come at any time.
    void set_open_listener(con_listener l);          // the main namespace is connected
    void set_fail_listener(con_listener l);          // the address makes no connection
    void set_close_listener(con_listener l);         // closed for good, by close()
    void set_reconnecting_listener(con_listener l);  // a reconnection attempt starts
    void set_reconnect_listener(reconnect_listener l); // a reconnection is scheduled
    void set_socket_close_listener(socket_listener l); // a namespace was closed
    void set_log_listener(log_listener l);           // diagnostics; nothing is written without it
    void clear_listeners();

    // The back-off before reconnection attempt n is base x 1.5^min(n, 32), at most max.
    void set_reconnect_delay(unsigned base_ms, unsigned max_ms);
    // One more certificate authority (PEM file) trusted beside the system's.
    void set_ca_file(const std::string &path);

    // The socket of a namespace ("" and "/" are the main one); the same object on every call.
    std::shared_ptr<sio::socket> socket(const std::string &nsp = std::string());

    // Connects to scheme://host[:port][/path]; the transport is a TLS WebSocket whatever the
    // scheme, the path "/socket.io/" when none is given. Does nothing while connected or
    // connecting; while a reconnection waits its turn, starts it at once.
    void connect(const std::string &uri);

    // Closes for good: no reconnection follows. Joins the network thread unless called on it,
    // once the connection has ended: an attempt under way at once, an open connection when the
    // peer answers the close or has stayed silent for a short grace.
    void close();

    // Drops the open connection as a missed ping does (close code 1008, "Ping timeout"); the
    // client then reconnects by its back-off. Without an open connection it does nothing, and
    // a reconnection that is waiting stays scheduled.
    void force_ping_timeout();

    class impl;

private:
    std::shared_ptr<impl> impl_;
};

} // namespace sio
