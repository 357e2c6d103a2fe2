#include "sio/socket.h"

namespace sio {

socket::socket(std::string nsp, poster post, sender send)
    : nsp_(nsp.empty() ? "/" : std::move(nsp)), post_(std::move(post)), send_(std::move(send))
{
}

void socket::on(const std::string &name, event_listener listener)
{
    std::lock_guard<std::mutex> lock(listeners_mutex_);
    listeners_[name] = std::move(listener);
}

void socket::off(const std::string &name)
{
    std::lock_guard<std::mutex> lock(listeners_mutex_);
    listeners_.erase(name);
}

void socket::off_all()
{
    std::lock_guard<std::mutex> lock(listeners_mutex_);
    listeners_.clear();
}

void socket::emit(const std::string &name, const message::list &args)
{
    packet p = packet::make_event(nsp_, name, args);
    std::weak_ptr<socket> self = shared_from_this();
    post_([self, p = std::move(p)]() mutable {
        if (auto s = self.lock())
            s->send_or_queue(std::move(p));
    });
}

void socket::send_or_queue(packet p)
{
    if (connected_ && send_(p))
        return;
    // The link is going: this event and every later one wait, in order, for the next one.
    connected_ = false;
    queue_.push_back(std::move(p));
}

void socket::on_connected()
{
    connected_ = true;
    while (connected_ && !queue_.empty()) {
        if (!send_(queue_.front())) {
            connected_ = false;
            break;
        }
        queue_.pop_front();
    }
}

void socket::on_disconnected()
{
    connected_ = false;
}

void socket::on_packet(const packet &p)
{
    if (p.kind() != packet::type::event && p.kind() != packet::type::binary_event)
        return;
    const std::string name = p.event_name();
    event_listener listener;
    {
        std::lock_guard<std::mutex> lock(listeners_mutex_);
        auto it = listeners_.find(name);
        if (it == listeners_.end())
            return;
        listener = it->second;
    }
    event ev(nsp_, name, p.event_args(), p.id() >= 0);
    listener(ev);
}

} // namespace sio
