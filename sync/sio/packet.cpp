// Engine.IO v4 over a WebSocket, one packet per frame:
//   text frame    := etype payload
//   etype         := "0" open | "1" close | "2" ping | "3" pong | "4" message | "5" upgrade | "6" noop
//   open payload  := JSON object {"sid": text, "pingInterval": ms, "pingTimeout": ms, ...}
//   ping payload  := any text, echoed in the pong
//   binary frame  := the raw bytes of one attachment (no type prefix)
// Socket.IO v5, the payload of an Engine.IO message:
//   packet        := stype [count "-"] [nsp ","] [id] [json]
//   stype         := "0" connect | "1" disconnect | "2" event | "3" ack | "4" connect error
//                  | "5" binary event | "6" binary ack
//   count         := decimal, only in binary packets: the binary frames that follow
//   nsp           := "/" name; left out for the main namespace "/"
//   id            := decimal acknowledgement id
//   json          := [event name, args...] for events, an object for connect and connect error
//   placeholder   := {"_placeholder": true, "num": n}, standing for the n-th binary frame
#include "sio/packet.h"

#include "sio/json.h"

namespace sio {

namespace {

bool fillPlaceholders(message::ptr &value, const std::vector<message::bytes> &frames)
{
    if (!value)
        return true;
    if (value->is(message::flag::array)) {
        for (auto &item : value->get_vector())
            if (!fillPlaceholders(item, frames))
                return false;
    } else if (value->is(message::flag::object)) {
        const message::ptr marker = value->at("_placeholder");
        const message::ptr num = value->at("num");
        if (marker && marker->get_bool() && num && num->is(message::flag::integer)) {
            const std::int64_t n = num->get_int();
            if (n < 0 || static_cast<std::size_t>(n) >= frames.size())
                return false;
            value = message::make_binary(frames[static_cast<std::size_t>(n)]);
            return true;
        }
        for (auto &entry : value->get_map())
            if (!fillPlaceholders(entry.second, frames))
                return false;
    }
    return true;
}

} // namespace

packet::packet(type t, std::string nsp, message::ptr data)
    : type_(t), nsp_(nsp.empty() ? "/" : std::move(nsp)), data_(std::move(data))
{
}

packet packet::make_event(const std::string &nsp, const std::string &name, const message::list &args)
{
    auto data = message::make_array();
    data->get_vector().reserve(args.size() + 1);
    data->get_vector().push_back(message::make_string(name));
    for (const auto &arg : args)
        data->get_vector().push_back(arg ? arg : message::make_null());
    return packet(type::event, nsp, data);
}

std::string packet::encode(std::vector<message::bytes> &attachments) const
{
    attachments.clear();
    std::string body;
    if (data_)
        json::write(*data_, body, &attachments);

    type t = type_;
    if (!attachments.empty() && t == type::event)
        t = type::binary_event;
    if (!attachments.empty() && t == type::ack)
        t = type::binary_ack;

    std::string out;
    out.reserve(body.size() + nsp_.size() + 24);
    out += '4';
    out += static_cast<char>('0' + static_cast<int>(t));
    if (t == type::binary_event || t == type::binary_ack) {
        out += std::to_string(attachments.size());
        out += '-';
    }
    if (nsp_ != "/") {
        out += nsp_;
        out += ',';
    }
    if (id_ >= 0)
        out += std::to_string(id_);
    out += body;
    return out;
}

bool packet::decode(const char *text, std::size_t size, packet &out, std::string &error)
{
    out = packet();
    if (size == 0 || text[0] < '0' || text[0] > '6') {
        error = "unknown Socket.IO packet type";
        return false;
    }
    out.type_ = static_cast<type>(text[0] - '0');
    std::size_t i = 1;

    if (out.type_ == type::binary_event || out.type_ == type::binary_ack) {
        std::size_t count = 0;
        const std::size_t start = i;
        while (i < size && text[i] >= '0' && text[i] <= '9' && i - start < 6)
            count = count * 10 + static_cast<std::size_t>(text[i++] - '0');
        if (i == start || i >= size || text[i] != '-') {
            error = "binary packet without attachment count";
            return false;
        }
        ++i;
        out.expected_ = count;
    }

    if (i < size && text[i] == '/') {
        const std::size_t start = i;
        while (i < size && text[i] != ',')
            ++i;
        out.nsp_.assign(text + start, i - start);
        if (i < size)
            ++i;
    }

    if (i < size && text[i] >= '0' && text[i] <= '9') {
        long long id = 0;
        const std::size_t start = i;
        while (i < size && text[i] >= '0' && text[i] <= '9' && i - start < 15)
            id = id * 10 + (text[i++] - '0');
        out.id_ = id;
    }

    if (i < size) {
        out.data_ = json::parse(text + i, size - i, &error);
        if (!out.data_)
            return false;
    }
    if ((out.type_ == type::event || out.type_ == type::binary_event)
        && (!out.data_ || !out.data_->is(message::flag::array))) {
        error = "event packet without an array";
        return false;
    }
    return true;
}

bool packet::add_attachment(message::bytes frame)
{
    if (received_.size() < expected_)
        received_.push_back(std::move(frame));
    if (received_.size() < expected_)
        return false;
    if (!fillPlaceholders(data_, received_))
        data_ = message::make_array(); // a placeholder that names no frame spoils the whole event
    received_.clear();
    expected_ = 0;
    return true;
}

std::string packet::event_name() const
{
    if (!data_ || !data_->is(message::flag::array) || data_->get_vector().empty())
        return std::string();
    const message::ptr &first = data_->get_vector().front();
    return first && first->is(message::flag::string) ? first->get_string() : std::string();
}

message::list packet::event_args() const
{
    if (!data_ || !data_->is(message::flag::array) || data_->get_vector().empty())
        return {};
    const auto &v = data_->get_vector();
    return message::list(v.begin() + 1, v.end());
}

} // namespace sio
