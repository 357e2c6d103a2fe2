#include "sio/event.h"

namespace sio {

event::event(std::string nsp, std::string name, message::list args, bool needs_ack)
    : nsp_(std::move(nsp)), name_(std::move(name)), args_(std::move(args)), needs_ack_(needs_ack)
{
}

message::ptr event::get_message() const
{
    return args_.empty() ? nullptr : args_.front();
}

} // namespace sio
