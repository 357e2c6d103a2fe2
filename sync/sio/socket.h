// One namespace of a client: its event listeners and its outgoing events.
#pragma once

#include "sio/event.h"
#include "sio/message.h"
#include "sio/packet.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace sio {

class socket : public std::enable_shared_from_this<socket>
{
public:
    using ptr = std::shared_ptr<socket>;
    using event_listener = std::function<void(event &)>;
    // Runs a task on the client's network thread.
    using poster = std::function<void(std::function<void()>)>;
    // Writes a packet on the connection; called on the network thread. False when the link
    // cannot take it now (closing or closed): the packet is kept for the next connection.
    using sender = std::function<bool(const packet &)>;

    socket(std::string nsp, poster post, sender send);

    // Listeners run on the network thread, one event at a time in arrival order. One listener
    // per name; a later one replaces it.
    void on(const std::string &name, event_listener listener);
    void off(const std::string &name);
    void off_all();

    // Sends an event without acknowledgement, from any thread. Until the namespace is connected
    // the events wait, and then leave in the order they were given; so does an event that the
    // closing link could not take.
    void emit(const std::string &name, const message::list &args = {});

    const std::string &get_namespace() const { return nsp_; }

    // The client's side, on the network thread.
    void on_connected();
    void on_disconnected();
    bool is_connected() const { return connected_; }
    void on_packet(const packet &p);
    // Drops the waiting events (a close for good) and answers how many there were.
    std::size_t clear_queue()
    {
        const std::size_t n = queue_.size();
        queue_.clear();
        return n;
    }

private:
    void send_or_queue(packet p);

    const std::string nsp_;
    const poster post_;
    const sender send_;

    std::mutex listeners_mutex_;
    std::map<std::string, event_listener> listeners_;

    // Network thread only.
    bool connected_ = false;
    std::deque<packet> queue_;
};

} // namespace sio
