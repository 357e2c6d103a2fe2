// One Socket.IO packet and its text form inside an Engine.IO message.
#pragma once

#include "sio/message.h"

#include <string>
#include <vector>

namespace sio {

class packet
{
public:
    enum class type { connect = 0, disconnect = 1, event = 2, ack = 3, connect_error = 4, binary_event = 5, binary_ack = 6 };

    packet() = default;
    packet(type t, std::string nsp, message::ptr data = nullptr);

    // An event packet: data is the array [name, args...].
    static packet make_event(const std::string &nsp, const std::string &name, const message::list &args);

    type kind() const { return type_; }
    const std::string &nsp() const { return nsp_; } // "/" for the main namespace
    long long id() const { return id_; }            // -1 when the packet asks no acknowledgement
    const message::ptr &data() const { return data_; }

    // The Engine.IO text frame ("4" then the Socket.IO text) and, after it, the binary frames of
    // its attachments in order. An event with binary values goes out as a binary event.
    std::string encode(std::vector<message::bytes> &attachments) const;

    // Reads the Socket.IO text of an Engine.IO message (without its leading "4"). Answers false,
    // with the reason in `error`, for text that is not a packet.
    static bool decode(const char *text, std::size_t size, packet &out, std::string &error);

    // Binary packets wait for their attachment frames; each frame added fills one placeholder.
    // Answers true once every attachment has arrived and the placeholders are replaced.
    std::size_t pending_attachments() const { return expected_ - received_.size(); }
    bool add_attachment(message::bytes frame);

    // For an event: its name, or "" when the data is not [string, ...].
    std::string event_name() const;
    // For an event: the arguments after the name.
    message::list event_args() const;

private:
    type type_ = type::event;
    std::string nsp_ = "/";
    long long id_ = -1;
    message::ptr data_;
    std::size_t expected_ = 0;
    std::vector<message::bytes> received_;
};

} // namespace sio
