// The socket.io server of tests/peers/sioserver.js as a child process: started on a free port of
// 127.0.0.1, read line by line, killed with its test (and with the test binary, should it die).
#pragma once

#include "sio/message.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class Peer
{
public:
    struct Options
    {
        std::string cert;
        int port = 0;
        int pingInterval = 25000;
        int pingTimeout = 20000;
        bool echo = false;
        bool nosid = false;
        // Another server script of tests/peers/ (empty: sioserver.js) and options of its own.
        std::string script;
        std::vector<std::string> extraArgs;
    };

    explicit Peer(Options options);
    ~Peer();

    // Starts the server and waits for its "ready" line; false when it does not come.
    bool start();
    void stop();
    // Stops the server process where it stands (a peer that hangs), and lets it go on again.
    void freeze();
    void thaw();
    int port() const { return port_; }

    // Sends one JSON command line to the server.
    void command(const std::string &json);

    // The number of lines seen so far, to wait for what comes after.
    std::size_t mark();

    // Waits for the first line from index `from` whose "ev" is `ev` and that `match` accepts.
    // `idle` runs between checks (the Qt tests turn their event loop there).
    sio::message::ptr waitFor(const std::string &ev, const std::function<bool(const sio::message &)> &match,
                              int timeoutMs, std::size_t from = 0, const std::function<void()> &idle = {});
    sio::message::ptr waitFor(const std::string &ev, int timeoutMs, std::size_t from = 0,
                              const std::function<void()> &idle = {});

    // Every line from `from` whose "ev" is `ev`.
    std::vector<sio::message::ptr> all(const std::string &ev, std::size_t from = 0);

private:
    void readLoop(int fd);

    Options options_;
    int port_ = 0;
    int pid_ = -1;
    int stdin_ = -1;
    std::thread reader_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<sio::message::ptr> lines_;
};

// A string field of a peer line, "" when absent.
std::string field(const sio::message &line, const std::string &key);
