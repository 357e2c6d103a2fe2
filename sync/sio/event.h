// An event that arrived on a namespace socket, as its listener sees it.
#pragma once

#include "sio/message.h"

#include <string>

namespace sio {

class event
{
public:
    event(std::string nsp, std::string name, message::list args, bool needs_ack);

    const std::string &get_nsp() const { return nsp_; }
    const std::string &get_name() const { return name_; }
    // The first argument, or null when the event has none.
    message::ptr get_message() const;
    const message::list &get_messages() const { return args_; }
    // The server asked for an acknowledgement; this client never sends one.
    bool need_ack() const { return needs_ack_; }

private:
    std::string nsp_;
    std::string name_;
    message::list args_;
    bool needs_ack_;
};

} // namespace sio
