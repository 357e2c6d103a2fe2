// The connection, its reconnection and the Engine.IO session live here, on the network thread.
// websocketpp is slow to compile, so this is the one file that includes it.
#include "sio/client.h"

#include "sio/json.h"
#include "sio/packet.h"

#include <websocketpp/client.hpp>
#include <websocketpp/config/asio_client.hpp>

#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>
#include <openssl/x509v3.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <ctime>
#include <map>
#include <mutex>
#include <thread>

namespace sio {

namespace {

// websocketpp's TLS client, but for the wait on the peer's TLS close_notify after a close: 5 s
// by default, spent in full on a peer that is gone before the close is even reported.
struct tls_config : websocketpp::config::asio_tls_client
{
    struct transport_config : websocketpp::config::asio_tls_client::transport_config
    {
        static const long timeout_socket_shutdown = 250;
    };
    typedef websocketpp::transport::asio::endpoint<transport_config> transport_type;
};

using endpoint = websocketpp::client<tls_config>;
using connection_ptr = endpoint::connection_ptr;
using message_ptr = endpoint::message_ptr;
using context_ptr = std::shared_ptr<asio::ssl::context>;
using websocketpp::connection_hdl;

const std::int64_t kDefaultPingInterval = 25000;
const std::int64_t kDefaultPingTimeout = 60000;
const std::int64_t kLongestWatchdog = 24LL * 3600 * 1000;
// How long a close of ours waits for a silent peer before the transport is shut: a live peer
// answers within milliseconds, a hung one would hold the close handshake for seconds. Only the
// peer's silence counts: an answer that came while this thread was busy is read first.
const int kCloseGraceMs = 250;

struct address
{
    bool ok = false;
    std::string host; // without the brackets of an IPv6 literal
    std::string port;
    std::string path;
};

address parseAddress(const std::string &uri)
{
    address a;
    const std::size_t scheme = uri.find("://");
    if (scheme == std::string::npos || scheme == 0)
        return a;
    const std::size_t start = scheme + 3;
    const std::size_t end = uri.find_first_of("/?#", start);
    const std::string authority = uri.substr(start, end == std::string::npos ? std::string::npos : end - start);
    std::string path;
    if (end != std::string::npos && uri[end] == '/')
        path = uri.substr(end, uri.find_first_of("?#", end) - end);

    std::string host;
    std::string port;
    bool hasPort = false;
    if (!authority.empty() && authority[0] == '[') {
        const std::size_t close = authority.find(']');
        if (close == std::string::npos)
            return a;
        host = authority.substr(1, close - 1);
        const std::string after = authority.substr(close + 1);
        if (!after.empty()) {
            if (after[0] != ':')
                return a;
            port = after.substr(1);
            hasPort = true;
        }
        if (host.find(':') == std::string::npos)
            return a;
    } else {
        const std::size_t colon = authority.find(':');
        host = authority.substr(0, colon);
        if (colon != std::string::npos) {
            port = authority.substr(colon + 1);
            hasPort = true;
        }
    }
    for (char c : host)
        if (static_cast<unsigned char>(c) <= ' ' || c == '@' || c == '/' || c == '\\' || c == '[' || c == ']')
            return a;
    if (host.empty())
        return a;
    if (hasPort) {
        if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos)
            return a;
        const long n = std::stol(port);
        if (n < 1 || n > 65535)
            return a;
    } else {
        port = "443";
    }
    a.ok = true;
    a.host = host;
    a.port = port;
    a.path = path.empty() || path == "/" ? "/socket.io/" : path;
    return a;
}

unsigned backoffDelay(unsigned attempt, unsigned base, unsigned max)
{
    const double d = base * std::pow(1.5, std::min(attempt, 32u));
    return d >= max ? max : static_cast<unsigned>(d);
}

std::int64_t readMs(const message::ptr &value, std::int64_t fallback)
{
    if (!value || !value->is(message::flag::integer) || value->get_int() < 0)
        return fallback;
    return value->get_int();
}

std::string normalNsp(const std::string &nsp)
{
    if (nsp.empty())
        return "/";
    return nsp[0] == '/' ? nsp : "/" + nsp;
}

} // namespace

class client::impl : public std::enable_shared_from_this<client::impl>
{
public:
    impl();
    ~impl();

    // Any thread.
    void connect(const std::string &uri);
    void close();
    void force_ping_timeout();
    socket::ptr get_socket(const std::string &nsp);
    void post(std::function<void()> task) { asio::post(ep_.get_io_service(), std::move(task)); }

    std::mutex listeners_mutex_;
    con_listener open_, fail_, close_, reconnecting_;
    reconnect_listener reconnect_;
    socket_listener socket_close_;
    log_listener log_;

    std::mutex config_mutex_;
    unsigned delay_base_ = 5000;
    unsigned delay_max_ = 25000;
    std::string ca_file_;

private:
    enum class state { idle, connecting, open, waiting };

    template <class L, class... A>
    void fire(L impl::*member, A... args)
    {
        L listener;
        {
            std::lock_guard<std::mutex> lock(listeners_mutex_);
            listener = this->*member;
        }
        if (!listener)
            return;
        try {
            listener(args...);
        } catch (...) {
        }
    }
    void log(const std::string &line) { fire(&impl::log_, line); }

    // Network thread.
    void run();
    void do_connect(const std::string &uri);
    void do_close();
    void open_connection();
    void connection_ended();
    void finish_close();
    void schedule_reconnect();
    void close_connection(websocketpp::close::status::value code, const std::string &reason);
    void await_close_answer(connection_hdl hdl, bool again);
    void abort_transport();
    bool current(connection_hdl hdl) const;
    context_ptr on_tls_init(connection_hdl hdl);
    void on_open(connection_hdl hdl);
    void on_fail(connection_hdl hdl);
    void on_close(connection_hdl hdl);
    void on_message(connection_hdl hdl, message_ptr msg);
    void on_handshake(const char *data, std::size_t size);
    void on_socketio(const char *data, std::size_t size);
    void on_binary(std::string payload);
    void dispatch(const packet &p);
    void send_text(const std::string &text);
    bool send_packet(const packet &p);
    void send_connect(const std::string &nsp);
    void restart_watchdog(std::int64_t ms);
    void cancel_watchdog();
    std::vector<socket::ptr> all_sockets();

    endpoint ep_;
    std::unique_ptr<asio::steady_timer> watchdog_;
    std::unique_ptr<asio::steady_timer> reconnect_timer_;
    std::unique_ptr<asio::steady_timer> abort_timer_;

    std::mutex thread_mutex_;
    std::thread thread_;
    bool closing_ = false;
    std::mutex done_mutex_;
    std::condition_variable done_cv_;
    bool done_ = true; // the network thread has returned
    bool close_done_ = false; // the close listeners have run since the last connect

    std::mutex sockets_mutex_;
    std::map<std::string, socket::ptr> sockets_;

    // Network thread only.
    state state_ = state::idle;
    bool for_good_ = false;
    bool handshaken_ = false;
    bool dropping_ = false; // a close of ours runs on the current connection
    address addr_;
    connection_hdl hdl_;
    unsigned attempt_ = 0;
    std::int64_t ping_interval_ = kDefaultPingInterval;
    std::int64_t ping_timeout_ = kDefaultPingTimeout;
    unsigned long watchdog_gen_ = 0;
    unsigned long reconnect_gen_ = 0;
    std::unique_ptr<packet> binary_;
};

client::impl::impl()
{
    ep_.clear_access_channels(websocketpp::log::alevel::all);
    ep_.clear_error_channels(websocketpp::log::elevel::all);
    ep_.init_asio();
    ep_.set_open_handshake_timeout(10000);
    ep_.set_close_handshake_timeout(2000);
    ep_.set_max_message_size(256u << 20);
    ep_.set_tls_init_handler([this](connection_hdl h) { return on_tls_init(h); });
    ep_.set_open_handler([this](connection_hdl h) { on_open(h); });
    ep_.set_fail_handler([this](connection_hdl h) { on_fail(h); });
    ep_.set_close_handler([this](connection_hdl h) { on_close(h); });
    ep_.set_message_handler([this](connection_hdl h, message_ptr m) { on_message(h, std::move(m)); });
    watchdog_ = std::make_unique<asio::steady_timer>(ep_.get_io_service());
    reconnect_timer_ = std::make_unique<asio::steady_timer>(ep_.get_io_service());
    abort_timer_ = std::make_unique<asio::steady_timer>(ep_.get_io_service());
}

client::impl::~impl()
{
    std::lock_guard<std::mutex> lock(thread_mutex_);
    if (thread_.joinable()) {
        if (thread_.get_id() == std::this_thread::get_id())
            thread_.detach();
        else
            thread_.join();
    }
}

void client::impl::run()
{
    for (;;) {
        try {
            ep_.run();
            break;
        } catch (const std::exception &e) {
            log(std::string("Network thread: ") + e.what());
        } catch (...) {
            log("Network thread: unknown exception");
        }
    }
    {
        std::lock_guard<std::mutex> lock(done_mutex_);
        done_ = true;
    }
    done_cv_.notify_all();
}

void client::impl::connect(const std::string &uri)
{
    get_socket("/"); // the main namespace is always joined
    {
        std::lock_guard<std::mutex> lock(thread_mutex_);
        const bool onNet = thread_.joinable() && thread_.get_id() == std::this_thread::get_id();
        if (!onNet && thread_.joinable() && closing_)
            thread_.join(); // a close for good is finishing; start afresh after it
        closing_ = false;
        {
            std::lock_guard<std::mutex> done(done_mutex_);
            close_done_ = false;
        }
        ep_.start_perpetual();
        if (!thread_.joinable()) {
            ep_.reset();
            {
                std::lock_guard<std::mutex> done(done_mutex_);
                done_ = false;
            }
            thread_ = std::thread([this] { run(); });
        }
    }
    post([this, uri] { do_connect(uri); });
}

void client::impl::close()
{
    std::lock_guard<std::mutex> lock(thread_mutex_);
    if (!thread_.joinable())
        return;
    closing_ = true;
    post([this] { do_close(); });
    ep_.stop_perpetual();
    if (thread_.get_id() == std::this_thread::get_id())
        return;
    // The network thread ends the connection itself: an attempt under way at once, an open one
    // when the peer answers or has stayed silent for its grace. So the wait here has no clock of
    // its own, which would also count the time this machine was too busy to run that thread.
    // Once the close is reported the thread is stopped: timers and look-ups of an attempt given
    // up may still be pending there for seconds, and they end harmlessly in the next session.
    bool ended;
    {
        std::unique_lock<std::mutex> done(done_mutex_);
        done_cv_.wait(done, [this] { return done_ || close_done_; });
        ended = done_;
    }
    if (!ended)
        ep_.stop();
    thread_.join();
}

void client::impl::force_ping_timeout()
{
    post([this] {
        if (state_ == state::open) {
            log("Ping timeout (forced)");
            close_connection(websocketpp::close::status::policy_violation, "Ping timeout");
        }
    });
}

socket::ptr client::impl::get_socket(const std::string &nsp)
{
    const std::string key = normalNsp(nsp);
    std::lock_guard<std::mutex> lock(sockets_mutex_);
    auto it = sockets_.find(key);
    if (it != sockets_.end())
        return it->second;
    std::weak_ptr<impl> weak = weak_from_this();
    auto s = std::make_shared<sio::socket>(
        key,
        [weak](std::function<void()> task) {
            if (auto self = weak.lock())
                self->post(std::move(task));
        },
        [this](const packet &p) { return send_packet(p); });
    sockets_[key] = s;
    post([this, key] {
        if (handshaken_)
            send_connect(key);
    });
    return s;
}

std::vector<socket::ptr> client::impl::all_sockets()
{
    std::lock_guard<std::mutex> lock(sockets_mutex_);
    std::vector<socket::ptr> out;
    for (const auto &entry : sockets_)
        out.push_back(entry.second);
    return out;
}

void client::impl::do_connect(const std::string &uri)
{
    switch (state_) {
    case state::connecting:
        return;
    case state::open:
        // The server may have closed the namespace alone; ask for it again.
        if (handshaken_ && !dropping_)
            for (const auto &s : all_sockets())
                if (!s->is_connected())
                    send_connect(s->get_namespace());
        return;
    case state::waiting:
        ++reconnect_gen_;
        reconnect_timer_->cancel();
        fire(&impl::reconnecting_);
        ++attempt_;
        open_connection();
        return;
    case state::idle:
        break;
    }
    for_good_ = false;
    addr_ = parseAddress(uri);
    if (!addr_.ok) {
        log("Invalid server address: " + uri);
        fire(&impl::fail_);
        return;
    }
    attempt_ = 0;
    open_connection();
}

void client::impl::open_connection()
{
    binary_.reset();
    handshaken_ = false;
    dropping_ = false;
    const std::string host = addr_.host.find(':') != std::string::npos ? "[" + addr_.host + "]" : addr_.host;
    // A new WebSocket is a new Engine.IO session: an old "sid" here makes the server refuse it.
    const std::string url = "wss://" + host + ":" + addr_.port + addr_.path
                            + "?EIO=4&transport=websocket&t=" + std::to_string(std::time(nullptr));
    websocketpp::lib::error_code ec;
    connection_ptr con = ep_.get_connection(url, ec);
    if (ec || !con) {
        log("Cannot connect to " + url + ": " + ec.message());
        state_ = state::idle;
        fire(&impl::fail_);
        return;
    }
    hdl_ = con->get_handle();
    state_ = state::connecting;
    ep_.connect(con);
}

bool client::impl::current(connection_hdl hdl) const
{
    return !hdl_.owner_before(hdl) && !hdl.owner_before(hdl_) && !hdl.expired();
}

context_ptr client::impl::on_tls_init(connection_hdl)
{
    auto ctx = std::make_shared<asio::ssl::context>(asio::ssl::context::tls_client);
    asio::error_code ec;
    ctx->set_options(asio::ssl::context::default_workarounds | asio::ssl::context::no_sslv2
                         | asio::ssl::context::no_sslv3 | asio::ssl::context::no_tlsv1
                         | asio::ssl::context::no_tlsv1_1 | asio::ssl::context::no_compression,
                     ec);
    SSL_CTX_set_min_proto_version(ctx->native_handle(), TLS1_2_VERSION);
    ctx->set_default_verify_paths(ec);
    if (ec)
        log("System certificate authorities unavailable: " + ec.message());
    std::string caFile;
    {
        std::lock_guard<std::mutex> lock(config_mutex_);
        caFile = ca_file_;
    }
    if (!caFile.empty()) {
        ctx->load_verify_file(caFile, ec);
        if (ec)
            log("Cannot load the certificate authority file " + caFile + ": " + ec.message());
    }
    // An unverified server would see the token and every record in clear. OpenSSL checks the
    // name itself, so that a mismatch is reported as such rather than as an unspecified error.
    ctx->set_verify_mode(asio::ssl::verify_peer | asio::ssl::verify_fail_if_no_peer_cert, ec);
    X509_VERIFY_PARAM *param = SSL_CTX_get0_param(ctx->native_handle());
    X509_VERIFY_PARAM_set_hostflags(param, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    asio::error_code notIp;
    asio::ip::make_address(addr_.host, notIp);
    const int named = notIp ? X509_VERIFY_PARAM_set1_host(param, addr_.host.c_str(), 0)
                            : X509_VERIFY_PARAM_set1_ip_asc(param, addr_.host.c_str());
    if (named != 1)
        log("Cannot set the name to verify: " + addr_.host);
    return ctx;
}

void client::impl::on_open(connection_hdl hdl)
{
    if (!current(hdl))
        return;
    state_ = state::open;
    if (for_good_) {
        close_connection(websocketpp::close::status::normal, "");
        return;
    }
    // Until the Engine.IO handshake names the real intervals.
    restart_watchdog(kDefaultPingInterval + kDefaultPingTimeout);
}

void client::impl::on_fail(connection_hdl hdl)
{
    if (!current(hdl))
        return;
    websocketpp::lib::error_code ec;
    connection_ptr con = ep_.get_con_from_hdl(hdl, ec);
    std::string why = con ? con->get_ec().message() : std::string("unknown");
    if (con) {
        const long verify = SSL_get_verify_result(con->get_socket().native_handle());
        if (verify != X509_V_OK)
            why += std::string(" (certificate: ") + X509_verify_cert_error_string(verify) + ")";
        if (con->get_response_code() != websocketpp::http::status_code::uninitialized)
            why += " (HTTP " + std::to_string(static_cast<int>(con->get_response_code())) + ")";
    }
    log("Connection failed: " + why);
    connection_ended();
}

void client::impl::on_close(connection_hdl hdl)
{
    if (!current(hdl))
        return;
    websocketpp::lib::error_code ec;
    connection_ptr con = ep_.get_con_from_hdl(hdl, ec);
    if (con)
        log("Connection closed: local " + std::to_string(con->get_local_close_code()) + " \""
            + con->get_local_close_reason() + "\", remote " + std::to_string(con->get_remote_close_code())
            + " \"" + con->get_remote_close_reason() + "\"");
    connection_ended();
}

void client::impl::connection_ended()
{
    hdl_.reset();
    dropping_ = false;
    abort_timer_->cancel();
    cancel_watchdog();
    binary_.reset();
    handshaken_ = false;
    for (const auto &s : all_sockets())
        s->on_disconnected();
    if (for_good_) {
        state_ = state::idle;
        finish_close();
        return;
    }
    // Any close this client did not ask for is a drop, retried without limit.
    schedule_reconnect();
}

void client::impl::finish_close()
{
    for (const auto &s : all_sockets()) {
        if (const std::size_t dropped = s->clear_queue())
            log("Close: " + std::to_string(dropped) + " waiting events of " + s->get_namespace() + " dropped");
        fire(&impl::socket_close_, s->get_namespace());
    }
    fire(&impl::close_);
    {
        std::lock_guard<std::mutex> lock(done_mutex_);
        close_done_ = true;
    }
    done_cv_.notify_all();
}

void client::impl::schedule_reconnect()
{
    unsigned base;
    unsigned max;
    {
        std::lock_guard<std::mutex> lock(config_mutex_);
        base = delay_base_;
        max = delay_max_;
    }
    const unsigned delay = backoffDelay(attempt_, base, max);
    state_ = state::waiting;
    const unsigned long gen = ++reconnect_gen_;
    reconnect_timer_->expires_after(std::chrono::milliseconds(delay));
    reconnect_timer_->async_wait([this, gen](const asio::error_code &ec) {
        if (ec || gen != reconnect_gen_ || state_ != state::waiting)
            return;
        fire(&impl::reconnecting_);
        ++attempt_;
        open_connection();
    });
    fire(&impl::reconnect_, attempt_, delay);
}

void client::impl::do_close()
{
    for_good_ = true;
    ++reconnect_gen_;
    reconnect_timer_->cancel();
    switch (state_) {
    case state::open:
        close_connection(websocketpp::close::status::normal, "");
        break;
    case state::connecting: {
        // Closing the socket ends a handshake at once; a name look-up or a TCP connect under way
        // would still run to its own timeout without a word, so the attempt is over here and
        // whatever it reports later is no longer the current connection's.
        websocketpp::lib::error_code ec;
        connection_ptr con = ep_.get_con_from_hdl(hdl_, ec);
        if (con) {
            asio::error_code ignored;
            con->get_raw_socket().close(ignored);
        }
        connection_ended();
        break;
    }
    case state::idle:
    case state::waiting:
        state_ = state::idle;
        finish_close();
        break;
    }
}

void client::impl::close_connection(websocketpp::close::status::value code, const std::string &reason)
{
    websocketpp::lib::error_code ec;
    connection_ptr con = ep_.get_con_from_hdl(hdl_, ec);
    if (!con) {
        connection_ended();
        return;
    }
    cancel_watchdog();
    // From here on events wait for the next connection instead of meeting a closing one.
    dropping_ = true;
    for (const auto &s : all_sockets())
        s->on_disconnected();
    con->close(code, reason, ec);
    if (ec) {
        log("Close: " + ec.message());
        abort_transport();
        connection_ended();
        return;
    }
    await_close_answer(hdl_, true);
}

void client::impl::await_close_answer(connection_hdl hdl, bool again)
{
    abort_timer_->expires_after(std::chrono::milliseconds(kCloseGraceMs));
    abort_timer_->async_wait([this, hdl, again](const asio::error_code &ec) {
        if (ec || !current(hdl))
            return;
        // The peer's close came, or bytes of its wait unread because this thread was busy: it
        // did answer, and the turn that finds the timer due again has read them, however slowly
        // this thread runs. Only a peer silent for the whole grace loses its transport.
        websocketpp::lib::error_code found;
        connection_ptr con = ep_.get_con_from_hdl(hdl, found);
        asio::error_code unread;
        const bool answered = con && (con->get_remote_close_code() != websocketpp::close::status::abnormal_close
                                      || (con->get_raw_socket().available(unread) > 0 && !unread));
        if (again && answered) {
            await_close_answer(hdl, false);
            return;
        }
        log("Close: no answer from the peer, the transport is shut");
        abort_transport();
        // What the transport reports of it later is no longer the current connection's.
        connection_ended();
    });
}

void client::impl::abort_transport()
{
    websocketpp::lib::error_code ec;
    connection_ptr con = ep_.get_con_from_hdl(hdl_, ec);
    if (!con)
        return;
    asio::error_code ignored;
    con->get_raw_socket().shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    con->get_raw_socket().close(ignored);
}

void client::impl::on_message(connection_hdl hdl, message_ptr msg)
{
    if (!current(hdl) || !msg)
        return;
    if (msg->get_opcode() == websocketpp::frame::opcode::binary) {
        on_binary(std::move(msg->get_raw_payload()));
        return;
    }
    const std::string &text = msg->get_payload();
    if (text.empty())
        return;
    switch (text[0]) {
    case '0':
        on_handshake(text.data() + 1, text.size() - 1);
        break;
    case '1':
        log("The server closed the session");
        close_connection(websocketpp::close::status::normal, "");
        break;
    case '2': {
        std::string pong = text;
        pong[0] = '3';
        send_text(pong);
        restart_watchdog(ping_interval_ + ping_timeout_);
        break;
    }
    case '4':
        on_socketio(text.data() + 1, text.size() - 1);
        break;
    case '3':
    case '5':
    case '6':
        break;
    default:
        log("Unknown Engine.IO packet type");
    }
}

void client::impl::on_handshake(const char *data, std::size_t size)
{
    std::string error;
    const message::ptr open = json::parse(data, size, &error);
    const message::ptr sid = open && open->is(message::flag::object) ? open->at("sid") : nullptr;
    if (!sid || !sid->is(message::flag::string) || sid->get_string().empty()) {
        log("Handshake error");
        close_connection(websocketpp::close::status::policy_violation, "Handshake error");
        return;
    }
    const message::ptr interval = open->at("pingInterval");
    const message::ptr timeout = open->at("pingTimeout");
    ping_interval_ = readMs(interval, kDefaultPingInterval);
    ping_timeout_ = readMs(timeout, kDefaultPingTimeout);
    log(":::::::::::::::");
    if (interval)
        log("m_ping_interval:::::::::::::::" + std::to_string(ping_interval_));
    if (timeout)
        log("m_ping_timeout:::::::::::::::::" + std::to_string(ping_timeout_));
    handshaken_ = true;
    restart_watchdog(ping_interval_ + ping_timeout_);
    for (const auto &s : all_sockets())
        send_connect(s->get_namespace());
}

void client::impl::on_socketio(const char *data, std::size_t size)
{
    if (binary_) {
        log("Binary packet left without its attachments");
        binary_.reset();
    }
    packet p;
    std::string error;
    if (!packet::decode(data, size, p, error)) {
        log("Bad Socket.IO packet: " + error);
        return;
    }
    if (p.pending_attachments() > 0) {
        binary_ = std::make_unique<packet>(std::move(p));
        return;
    }
    dispatch(p);
}

void client::impl::on_binary(std::string payload)
{
    if (!binary_) {
        log("Binary frame without a packet");
        return;
    }
    if (binary_->add_attachment(std::make_shared<const std::string>(std::move(payload)))) {
        const packet p = std::move(*binary_);
        binary_.reset();
        dispatch(p);
    }
}

void client::impl::dispatch(const packet &p)
{
    socket::ptr s;
    {
        std::lock_guard<std::mutex> lock(sockets_mutex_);
        auto it = sockets_.find(p.nsp());
        if (it == sockets_.end())
            return;
        s = it->second;
    }
    switch (p.kind()) {
    case packet::type::connect:
        s->on_connected();
        if (p.nsp() == "/") {
            attempt_ = 0;
            fire(&impl::open_);
        }
        break;
    case packet::type::disconnect:
        s->on_disconnected();
        fire(&impl::socket_close_, s->get_namespace());
        break;
    case packet::type::connect_error: {
        const message::ptr why = p.data() ? p.data()->at("message") : nullptr;
        log("The server refused the namespace " + p.nsp() + ": " + (why ? why->get_string() : std::string()));
        // A refused attempt is retried like a failed one.
        close_connection(websocketpp::close::status::normal, "");
        break;
    }
    case packet::type::event:
    case packet::type::binary_event:
        try {
            s->on_packet(p);
        } catch (const std::exception &e) {
            log("Event listener failed: " + std::string(e.what()));
        } catch (...) {
            log("Event listener failed");
        }
        break;
    default:
        break;
    }
}

void client::impl::send_text(const std::string &text)
{
    websocketpp::lib::error_code ec;
    connection_ptr con = ep_.get_con_from_hdl(hdl_, ec);
    if (!con)
        return;
    ec = con->send(text, websocketpp::frame::opcode::text);
    if (ec)
        log("Send: " + ec.message());
}

bool client::impl::send_packet(const packet &p)
{
    if (state_ != state::open || dropping_)
        return false;
    websocketpp::lib::error_code ec;
    connection_ptr con = ep_.get_con_from_hdl(hdl_, ec);
    if (!con)
        return false;
    std::vector<message::bytes> attachments;
    ec = con->send(p.encode(attachments), websocketpp::frame::opcode::text);
    for (const auto &bin : attachments) {
        if (ec)
            break;
        ec = con->send(bin->data(), bin->size(), websocketpp::frame::opcode::binary);
    }
    if (!ec)
        return true;
    if (con->get_state() != websocketpp::session::state::open) {
        log("Send: " + ec.message() + "; the event waits for the next connection");
        return false;
    }
    // The link is fine but refused this one packet; kept, it would block every later one.
    log("Send: " + ec.message() + "; the event " + p.event_name() + " is dropped");
    return true;
}

void client::impl::send_connect(const std::string &nsp)
{
    std::vector<message::bytes> none;
    send_text(packet(packet::type::connect, nsp).encode(none));
}

void client::impl::restart_watchdog(std::int64_t ms)
{
    const unsigned long gen = ++watchdog_gen_;
    watchdog_->expires_after(std::chrono::milliseconds(std::min(ms, kLongestWatchdog)));
    watchdog_->async_wait([this, gen](const asio::error_code &ec) {
        if (ec || gen != watchdog_gen_ || state_ != state::open)
            return;
        log("Ping timeout");
        close_connection(websocketpp::close::status::policy_violation, "Ping timeout");
    });
}

void client::impl::cancel_watchdog()
{
    ++watchdog_gen_;
    watchdog_->cancel();
}

// The public face.

client::client() : impl_(std::make_shared<impl>()) {}

client::~client()
{
    clear_listeners();
    impl_->close();
}

#define SIO_SET_LISTENER(method, type, member)                   \
    void client::method(type l)                                  \
    {                                                            \
        std::lock_guard<std::mutex> lock(impl_->listeners_mutex_); \
        impl_->member = std::move(l);                            \
    }

SIO_SET_LISTENER(set_open_listener, con_listener, open_)
SIO_SET_LISTENER(set_fail_listener, con_listener, fail_)
SIO_SET_LISTENER(set_close_listener, con_listener, close_)
SIO_SET_LISTENER(set_reconnecting_listener, con_listener, reconnecting_)
SIO_SET_LISTENER(set_reconnect_listener, reconnect_listener, reconnect_)
SIO_SET_LISTENER(set_socket_close_listener, socket_listener, socket_close_)
SIO_SET_LISTENER(set_log_listener, log_listener, log_)

#undef SIO_SET_LISTENER

void client::clear_listeners()
{
    std::lock_guard<std::mutex> lock(impl_->listeners_mutex_);
    impl_->open_ = nullptr;
    impl_->fail_ = nullptr;
    impl_->close_ = nullptr;
    impl_->reconnecting_ = nullptr;
    impl_->reconnect_ = nullptr;
    impl_->socket_close_ = nullptr;
    impl_->log_ = nullptr;
}

void client::set_reconnect_delay(unsigned base_ms, unsigned max_ms)
{
    std::lock_guard<std::mutex> lock(impl_->config_mutex_);
    impl_->delay_base_ = base_ms;
    impl_->delay_max_ = max_ms;
}

void client::set_ca_file(const std::string &path)
{
    std::lock_guard<std::mutex> lock(impl_->config_mutex_);
    impl_->ca_file_ = path;
}

std::shared_ptr<sio::socket> client::socket(const std::string &nsp)
{
    return impl_->get_socket(nsp);
}

void client::connect(const std::string &uri)
{
    impl_->connect(uri);
}

void client::close()
{
    impl_->close();
}

void client::force_ping_timeout()
{
    impl_->force_ping_timeout();
}

} // namespace sio
