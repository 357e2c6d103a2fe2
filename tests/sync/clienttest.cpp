// The client against a real socket.io 4 server on 127.0.0.1.
#include "peer.h"
#include "testca.h"

#include "sio/client.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <set>

using sio::message;

namespace {

// What the client's listeners said, in order.
class Recorder
{
public:
    void add(const std::string &item)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            items_.push_back(item);
        }
        cv_.notify_all();
    }

    // Waits until `item` has been said `n` times in all.
    bool wait(const std::string &item, std::size_t n = 1, int timeoutMs = 20000)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                            [&] { return countLocked(item) >= n; });
    }

    std::size_t count(const std::string &item)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return countLocked(item);
    }

    std::vector<std::string> items()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return items_;
    }

    std::vector<std::string> startingWith(const std::string &prefix)
    {
        std::vector<std::string> out;
        for (const auto &i : items())
            if (i.compare(0, prefix.size(), prefix) == 0)
                out.push_back(i);
        return out;
    }

private:
    std::size_t countLocked(const std::string &item) const
    {
        return static_cast<std::size_t>(std::count(items_.begin(), items_.end(), item));
    }

    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<std::string> items_;
};

void wire(sio::client &c, Recorder &r)
{
    c.set_open_listener([&r] { r.add("open"); });
    c.set_fail_listener([&r] { r.add("fail"); });
    c.set_close_listener([&r] { r.add("close"); });
    c.set_reconnecting_listener([&r] { r.add("reconnecting"); });
    c.set_reconnect_listener([&r](unsigned attempt, unsigned delay) {
        r.add("delay " + std::to_string(attempt) + " " + std::to_string(delay));
        r.add("reconnect");
    });
    c.set_socket_close_listener([&r](const std::string &nsp) { r.add("socket close " + nsp); });
    c.set_log_listener([&r](const std::string &line) {
        if (std::getenv("SIO_TEST_VERBOSE"))
            std::cerr << "client: " << line << std::endl;
        r.add("log " + line);
    });
}

std::string base64(const std::string &bytes)
{
    static const char *abc = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8)
                           | static_cast<unsigned char>(bytes[i + 2]);
        out += {abc[v >> 18], abc[(v >> 12) & 63], abc[(v >> 6) & 63], abc[v & 63]};
    }
    if (i + 1 == bytes.size()) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        out += {abc[v >> 18], abc[(v >> 12) & 63], '=', '='};
    } else if (i + 2 == bytes.size()) {
        const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
        out += {abc[v >> 18], abc[(v >> 12) & 63], abc[(v >> 6) & 63], '='};
    }
    return out;
}

// A port nothing listens on.
int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len);
    close(fd);
    return ntohs(addr.sin_port);
}

std::string address(int port, const std::string &host = "127.0.0.1")
{
    return "https://" + host + ":" + std::to_string(port);
}

bool closeFrame(const message &line, long long code, const std::string &reason)
{
    return line.at("code")->get_int() == code && field(line, "reason") == reason;
}

// A loopback listener on a port of its own that never accepts nor answers anything.
struct SilentListener
{
    explicit SilentListener(int backlog)
    {
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 || listen(fd, backlog) != 0
            || getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len) != 0)
            addr.sin_port = 0;
    }
    ~SilentListener() { ::close(fd); }
    unsigned short port() const { return ntohs(addr.sin_port); }

    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
};

class Client : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(TestCa::get().ok) << "openssl could not make the test certificates"; }

    std::unique_ptr<sio::client> makeClient(Recorder &r, unsigned base = 200, unsigned max = 1000)
    {
        auto c = std::make_unique<sio::client>();
        wire(*c, r);
        c->set_ca_file(TestCa::get().caFile);
        c->set_reconnect_delay(base, max);
        return c;
    }
};

} // namespace

TEST_F(Client, ExchangesEventsBothWaysAndClosesForGood)
{
    Peer peer({});
    ASSERT_TRUE(peer.start());
    Recorder r;
    auto c = makeClient(r);
    auto s = c->socket();
    std::mutex argsMutex;
    message::list received;
    s->on("hello", [&](sio::event &ev) {
        std::lock_guard<std::mutex> lock(argsMutex);
        received = ev.get_messages();
        r.add("hello");
    });

    // An event given before the connection leaves once the namespace is connected.
    s->emit("early", {message::make_string("queued")});
    c->connect(address(peer.port()));
    ASSERT_TRUE(r.wait("open"));
    const auto upgrade = peer.waitFor("upgrade", 5000);
    ASSERT_TRUE(upgrade);
    EXPECT_NE(field(*upgrade, "url").find("EIO=4&transport=websocket"), std::string::npos);
    EXPECT_EQ(field(*upgrade, "url").find("sid="), std::string::npos);
    const auto early = peer.waitFor("event", [](const message &l) { return field(l, "name") == "early"; }, 5000);
    ASSERT_TRUE(early);
    EXPECT_EQ(early->at("args")->get_vector()[0]->get_string(), "queued");

    std::string bytes;
    for (int i = 0; i < 70000; ++i)
        bytes += static_cast<char>(i * 7);
    auto arg = message::make_object({{"text", message::make_string("سلام، دنیا")},
                                     {"n", message::make_double(1700000000123.0)},
                                     {"file", message::make_binary(bytes)}});
    s->emit("data", {arg});
    const auto data = peer.waitFor("event", [](const message &l) { return field(l, "name") == "data"; }, 5000);
    ASSERT_TRUE(data);
    const auto got = data->at("args")->get_vector().at(0);
    EXPECT_EQ(got->at("text")->get_string(), "سلام، دنیا");
    EXPECT_EQ(got->at("n")->get_int(), 1700000000123LL);
    EXPECT_EQ(field(*got->at("file"), "$binary"), base64(bytes));

    peer.command(R"({"cmd":"emit","name":"hello","args":["plain",{"$binary":"AAEC/w=="}]})");
    ASSERT_TRUE(r.wait("hello"));
    {
        std::lock_guard<std::mutex> lock(argsMutex);
        ASSERT_EQ(received.size(), 2u);
        EXPECT_EQ(received[0]->get_string(), "plain");
        EXPECT_EQ(*received[1]->get_binary(), std::string("\0\1\2\xFF", 4));
    }
    // Events nobody listens to are dropped quietly.
    peer.command(R"({"cmd":"emit","name":"unheard","args":["x"]})");

    const std::size_t before = peer.mark();
    c->close();
    EXPECT_EQ(r.count("socket close /"), 1u);
    EXPECT_EQ(r.count("close"), 1u);
    EXPECT_EQ(r.count("reconnect"), 0u);
    EXPECT_TRUE(peer.waitFor("wsclose", [](const message &l) { return l.at("code")->get_int() == 1000; }, 5000, before));

    // After a close for good, connect starts afresh.
    c->connect(address(peer.port()));
    EXPECT_TRUE(r.wait("open", 2));
}

TEST_F(Client, ReconnectsWithAFreshSessionAfterTheServerRestarts)
{
    Peer peer({});
    ASSERT_TRUE(peer.start());
    Recorder r;
    auto c = makeClient(r);
    c->connect(address(peer.port()));
    ASSERT_TRUE(r.wait("open"));

    peer.stop();
    ASSERT_TRUE(r.wait("reconnect"));
    EXPECT_EQ(r.startingWith("delay ").front(), "delay 0 200");
    ASSERT_TRUE(peer.start());
    ASSERT_TRUE(r.wait("open", 2));
    EXPECT_GE(r.count("reconnecting"), 1u);
    EXPECT_EQ(r.count("close"), 0u);
    const auto upgrade = peer.waitFor("upgrade", 5000);
    ASSERT_TRUE(upgrade);
    EXPECT_EQ(field(*upgrade, "url").find("sid="), std::string::npos);

    // The count restarts after a successful open.
    const std::size_t delays = r.startingWith("delay ").size();
    peer.stop();
    ASSERT_TRUE(r.wait("reconnect", delays + 1));
    EXPECT_EQ(r.startingWith("delay ").at(delays), "delay 0 200");
}

TEST_F(Client, ClosesWith1008PingTimeoutWhenTheServerStopsPinging)
{
    Peer::Options o;
    o.pingInterval = 300;
    o.pingTimeout = 400;
    Peer peer(o);
    ASSERT_TRUE(peer.start());
    Recorder r;
    auto c = makeClient(r);
    c->connect(address(peer.port()));
    ASSERT_TRUE(r.wait("open"));

    // Pings are answered: the server would drop a client that misses its pong within 400 ms.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ(r.count("reconnect"), 0u);
    EXPECT_TRUE(r.startingWith("log m_ping_interval").size() >= 1);

    const std::size_t before = peer.mark();
    peer.command(R"({"cmd":"stall"})");
    EXPECT_TRUE(peer.waitFor("wsclose", [](const message &l) { return closeFrame(l, 1008, "Ping timeout"); }, 10000, before));
    ASSERT_TRUE(r.wait("reconnect"));
    EXPECT_TRUE(r.wait("open", 2));
}

TEST_F(Client, RefusesAHandshakeWithoutSid)
{
    Peer::Options o;
    o.nosid = true;
    Peer peer(o);
    ASSERT_TRUE(peer.start());
    Recorder r;
    auto c = makeClient(r);
    c->connect(address(peer.port()));
    EXPECT_TRUE(peer.waitFor("wsclose", [](const message &l) { return closeFrame(l, 1008, "Handshake error"); }, 10000));
    EXPECT_TRUE(r.wait("reconnect"));
    EXPECT_EQ(r.count("open"), 0u);
}

TEST_F(Client, ForcedPingTimeoutReconnectsAndLeavesAWaitingReconnectionAlone)
{
    Peer peer({});
    ASSERT_TRUE(peer.start());
    Recorder r;
    auto c = makeClient(r, 1500, 2000);
    c->connect(address(peer.port()));
    ASSERT_TRUE(r.wait("open"));

    const std::size_t before = peer.mark();
    c->force_ping_timeout();
    EXPECT_TRUE(peer.waitFor("wsclose", [](const message &l) { return closeFrame(l, 1008, "Ping timeout"); }, 10000, before));
    ASSERT_TRUE(r.wait("open", 2));
    EXPECT_EQ(r.count("reconnect"), 1u);
    EXPECT_EQ(r.count("reconnecting"), 1u);
    EXPECT_EQ(r.count("close"), 0u);

    // With the server gone a reconnection waits; forcing a timeout then must not cancel it.
    peer.stop();
    ASSERT_TRUE(r.wait("reconnect", 2));
    c->force_ping_timeout();
    EXPECT_TRUE(r.wait("reconnecting", 2, 10000));
    ASSERT_TRUE(peer.start());
    EXPECT_TRUE(r.wait("open", 3));
    EXPECT_EQ(r.count("close"), 0u);
}

TEST_F(Client, BacksOffByHalfAgainUpToTheCap)
{
    const int port = freePort();
    Recorder r;
    auto c = makeClient(r, 100, 400);
    c->connect(address(port));
    ASSERT_TRUE(r.wait("reconnect", 6));
    const auto delays = r.startingWith("delay ");
    ASSERT_GE(delays.size(), 6u);
    const std::vector<std::string> expected = {"delay 0 100", "delay 1 150", "delay 2 225",
                                               "delay 3 337", "delay 4 400", "delay 5 400"};
    EXPECT_EQ(std::vector<std::string>(delays.begin(), delays.begin() + 6), expected);
    EXPECT_EQ(r.count("fail"), 0u);
    c->close();
    EXPECT_EQ(r.count("close"), 1u);

    // The defaults: 5 s first, and close() does not wait for the pending attempt.
    Recorder d;
    sio::client plain;
    wire(plain, d);
    plain.connect(address(port));
    ASSERT_TRUE(d.wait("reconnect"));
    EXPECT_EQ(d.startingWith("delay ").front(), "delay 0 5000");
    const auto start = std::chrono::steady_clock::now();
    plain.close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(d.count("close"), 1u);
    EXPECT_EQ(d.count("reconnecting"), 0u);
}

TEST_F(Client, VerifiesTheServerCertificateAndName)
{
    struct Case
    {
        const char *what;
        std::string cert;
        std::string caFile;
        std::string host;
        bool opens;
    };
    const TestCa &ca = TestCa::get();
    const Case cases[] = {
        {"unknown authority", ca.rogueCert, ca.caFile, "127.0.0.1", false},
        {"certificate for another name", ca.wrongName, ca.caFile, "127.0.0.1", false},
        {"no extra authority configured", ca.serverCert, "", "127.0.0.1", false},
        {"unreadable authority file", ca.serverCert, ca.dir + "/missing.pem", "127.0.0.1", false},
        {"trusted, by IP address", ca.serverCert, ca.caFile, "127.0.0.1", true},
        {"trusted, by host name", ca.serverCert, ca.caFile, "localhost", true},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.what);
        Peer::Options o;
        o.cert = k.cert;
        Peer peer(o);
        ASSERT_TRUE(peer.start());
        Recorder r;
        auto c = makeClient(r, 5000, 5000);
        c->set_ca_file(k.caFile);
        c->connect(address(peer.port(), k.host));
        if (k.opens) {
            EXPECT_TRUE(r.wait("open"));
            if (k.host == "localhost") {
                const auto tls = peer.waitFor("tls", 5000);
                ASSERT_TRUE(tls);
                EXPECT_EQ(field(*tls, "servername"), "localhost");
            }
        } else {
            EXPECT_TRUE(r.wait("reconnect"));
            EXPECT_EQ(r.count("open"), 0u);
            EXPECT_FALSE(peer.waitFor("connection", 200));
            bool explained = false;
            for (const auto &line : r.startingWith("log Connection failed"))
                explained = explained || line.find("certificate") != std::string::npos;
            EXPECT_TRUE(explained);
        }
    }
}

TEST_F(Client, RefusesAnAddressItCannotConnectTo)
{
    for (const char *uri : {"not an address", "https://", "https://host:99999", "https://[::1", "https://ho st:1",
                            "https://host:"}) {
        Recorder r;
        auto c = makeClient(r);
        c->connect(uri);
        EXPECT_TRUE(r.wait("fail", 1, 5000)) << uri;
        EXPECT_EQ(r.count("reconnect"), 0u) << uri;
    }
}

TEST_F(Client, AsksAgainForANamespaceTheServerClosed)
{
    Peer peer({});
    ASSERT_TRUE(peer.start());
    Recorder r;
    auto c = makeClient(r);
    c->connect(address(peer.port()));
    ASSERT_TRUE(r.wait("open"));
    peer.command(R"({"cmd":"nsdisconnect"})");
    ASSERT_TRUE(r.wait("socket close /"));
    EXPECT_EQ(r.count("reconnect"), 0u);
    c->connect(address(peer.port()));
    EXPECT_TRUE(r.wait("open", 2));
}

TEST_F(Client, CloseDoesNotWaitForAStuckAttempt)
{
    // A listener that accepts the TCP connection and never answers the TLS handshake.
    SilentListener silent(4);
    ASSERT_NE(silent.port(), 0);

    Recorder r;
    auto c = makeClient(r);
    c->connect(address(silent.port()));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto start = std::chrono::steady_clock::now();
    c->close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
    EXPECT_EQ(r.count("close"), 1u);
    EXPECT_EQ(r.count("open"), 0u);

    // A TCP connect the listener never answers (its backlog is full): ended by the close itself,
    // where the transport would wait for its own timeout without a word.
    SilentListener full(0);
    ASSERT_NE(full.port(), 0);
    std::vector<int> queued;
    for (int i = 0; i < 2; ++i) {
        queued.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
        ::connect(queued.back(), reinterpret_cast<const sockaddr *>(&full.addr), sizeof full.addr);
    }
    c->connect(address(full.port()));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    c->close();
    EXPECT_EQ(r.count("close"), 2u);
    for (int q : queued)
        ::close(q);

    // The client is whole again afterwards.
    Peer peer({});
    ASSERT_TRUE(peer.start());
    c->connect(address(peer.port()));
    EXPECT_TRUE(r.wait("open"));
}

TEST_F(Client, WhatAnAbandonedAttemptLeftDoesNotHoldTheNextClose)
{
    // A listener that accepts the TCP connection and never answers the TLS handshake.
    SilentListener silent(4);
    ASSERT_NE(silent.port(), 0);

    // The network thread is held in a listener while the close waits, so that the close gives
    // the attempt up with its handshake under way (and its timer of several seconds running).
    Recorder r;
    auto c = makeClient(r);
    std::mutex m;
    std::condition_variable cv;
    bool held = false;
    bool closing = false;
    c->set_ca_file("/nonexistent/ca.pem");
    c->set_log_listener([&](const std::string &line) {
        r.add("log " + line);
        if (line.rfind("Cannot load the certificate authority file", 0) != 0)
            return;
        std::unique_lock<std::mutex> lock(m);
        held = true;
        cv.notify_all();
        cv.wait(lock, [&] { return closing; });
        std::this_thread::sleep_for(std::chrono::milliseconds(2000));
    });
    c->connect(address(silent.port()));
    {
        std::unique_lock<std::mutex> lock(m);
        ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(20), [&] { return held; }));
        closing = true;
        cv.notify_all();
    }
    c->close();
    ASSERT_EQ(r.count("close"), 1u);
    EXPECT_EQ(r.count("open"), 0u);

    Peer peer({});
    ASSERT_TRUE(peer.start());
    c->set_ca_file(TestCa::get().caFile);
    c->connect(address(peer.port()));
    ASSERT_TRUE(r.wait("open"));
    c->close();
    EXPECT_EQ(r.count("close"), 2u);
}

TEST_F(Client, AHungPeerIsDroppedPromptlyAndNoEventIsLost)
{
    Peer::Options o;
    o.pingInterval = 300;
    o.pingTimeout = 400;
    Peer peer(o);
    ASSERT_TRUE(peer.start());
    Recorder r;
    auto c = makeClient(r);
    c->connect(address(peer.port()));
    ASSERT_TRUE(r.wait("open"));

    // Events given from the moment the ping is missed, through the close and the reconnection,
    // all arrive once the server answers again.
    peer.freeze();
    ASSERT_TRUE(r.wait("log Ping timeout", 1, 5000));
    for (int i = 0; i < 20; ++i) {
        c->socket()->emit("n", {message::make_integer(i)});
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    // The close of a dead link does not wait for the handshakes of a peer that cannot answer.
    EXPECT_TRUE(r.wait("reconnect", 1, 0)) << "the close took more than 2 s";
    peer.thaw();
    ASSERT_TRUE(r.wait("open", 2));
    std::set<long long> seen;
    for (int wait = 0; wait < 50 && seen.size() < 20; ++wait) {
        seen.clear();
        for (const auto &line : peer.all("event"))
            if (field(*line, "name") == "n")
                seen.insert(line->at("args")->get_vector().at(0)->get_int());
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_EQ(seen.size(), 20u);
}

TEST_F(Client, ACloseThatGaveUpLeavesNothingBehind)
{
    // A peer that never answers the close: its transport is shut once it stayed silent for the
    // grace, rather than after its own timeouts.
    Peer hung({});
    ASSERT_TRUE(hung.start());
    Recorder r;
    auto c = makeClient(r);
    c->connect(address(hung.port()));
    ASSERT_TRUE(r.wait("open"));
    hung.freeze();
    c->close();
    const std::string gaveUp = "log Close: no answer from the peer, the transport is shut";
    EXPECT_EQ(r.count(gaveUp), 1u);
    EXPECT_EQ(r.count("close"), 1u);
    EXPECT_EQ(r.count("socket close /"), 1u);

    // A live peer whose answer comes late to this client: the network thread is held, as a busy
    // machine may hold it, well past a second after the close began. The close goes out once the
    // thread is free, and the next cycles say each thing once.
    Peer peer({});
    ASSERT_TRUE(peer.start());
    std::mutex m;
    std::condition_variable cv;
    bool held = false, closing = false;
    c->socket()->on("hold", [&](sio::event &) {
        std::unique_lock<std::mutex> lock(m);
        held = true;
        cv.notify_all();
        cv.wait(lock, [&] { return closing; });
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    });
    c->connect(address(peer.port()));
    ASSERT_TRUE(r.wait("open", 2));
    const std::size_t before = peer.mark();
    peer.command(R"({"cmd":"emit","name":"hold","args":[]})");
    {
        std::unique_lock<std::mutex> lock(m);
        ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(20), [&] { return held; }));
        closing = true;
    }
    cv.notify_all();
    c->close();
    EXPECT_TRUE(peer.waitFor("wsclose", [](const message &l) { return closeFrame(l, 1000, ""); }, 10000, before));
    c->connect(address(freePort()));
    ASSERT_TRUE(r.wait("reconnect", 1, 5000));
    c->close();
    EXPECT_EQ(r.count("close"), 3u);
    EXPECT_EQ(r.count("socket close /"), 3u);
    hung.thaw();
}

TEST_F(Client, ACertificateFailureSaysWhichCheckFailed)
{
    const TestCa &ca = TestCa::get();
    const std::pair<std::string, std::string> cases[] = {
        {ca.wrongName, "hostname mismatch"},
        {ca.rogueCert, "local issuer"},
        {ca.expired, "expired"},
    };
    for (const auto &[cert, why] : cases) {
        SCOPED_TRACE(why);
        Peer::Options o;
        o.cert = cert;
        Peer peer(o);
        ASSERT_TRUE(peer.start());
        Recorder r;
        auto c = makeClient(r, 5000, 5000);
        c->connect(address(peer.port(), "localhost"));
        ASSERT_TRUE(r.wait("reconnect"));
        const auto failed = r.startingWith("log Connection failed");
        ASSERT_FALSE(failed.empty());
        EXPECT_NE(failed.front().find(why), std::string::npos) << failed.front();
    }
}
