#include "peer.h"

#include "sio/json.h"
#include "testca.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

std::string field(const sio::message &line, const std::string &key)
{
    const sio::message::ptr v = line.at(key);
    return v ? v->get_string() : std::string();
}

Peer::Peer(Options options) : options_(std::move(options)) {}

Peer::~Peer()
{
    stop();
}

bool Peer::start()
{
    stop();
    const TestCa &ca = TestCa::get();
    const std::string script = std::string(PEERS_DIR "/") + (options_.script.empty() ? "sioserver.js" : options_.script);
    std::vector<std::string> args = {NODE_EXECUTABLE, script, "--key", ca.serverKey, "--cert",
                                     options_.cert.empty() ? ca.serverCert : options_.cert, "--port",
                                     std::to_string(port_ ? port_ : options_.port), "--ping-interval",
                                     std::to_string(options_.pingInterval), "--ping-timeout",
                                     std::to_string(options_.pingTimeout)};
    if (options_.echo)
        args.push_back("--echo");
    if (options_.nosid)
        args.push_back("--nosid");
    args.insert(args.end(), options_.extraArgs.begin(), options_.extraArgs.end());
    std::vector<char *> argv;
    for (auto &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    int in[2];
    int out[2];
    // Close-on-exec, so that no other child holds these pipes open past this server's end.
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0)
        return false;
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(1);
        dup2(in[0], 0);
        dup2(out[1], 1);
        close(in[0]);
        close(in[1]);
        close(out[0]);
        close(out[1]);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    pid_ = pid;
    stdin_ = in[1];
    {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.clear();
    }
    reader_ = std::thread([this, fd = out[0]] { readLoop(fd); });

    const sio::message::ptr ready = waitFor("ready", 30000);
    if (!ready)
        return false;
    port_ = static_cast<int>(ready->at("port")->get_int());
    return true;
}

void Peer::stop()
{
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    if (stdin_ >= 0) {
        close(stdin_);
        stdin_ = -1;
    }
    if (reader_.joinable())
        reader_.join();
}

void Peer::freeze()
{
    if (pid_ > 0)
        kill(pid_, SIGSTOP);
}

void Peer::thaw()
{
    if (pid_ > 0)
        kill(pid_, SIGCONT);
}

void Peer::command(const std::string &json)
{
    const std::string line = json + "\n";
    std::size_t done = 0;
    while (stdin_ >= 0 && done < line.size()) {
        const ssize_t n = write(stdin_, line.data() + done, line.size() - done);
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
}

void Peer::readLoop(int fd)
{
    std::string buffer;
    char chunk[65536];
    for (;;) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n <= 0)
            break;
        buffer.append(chunk, static_cast<std::size_t>(n));
        std::size_t nl;
        while ((nl = buffer.find('\n')) != std::string::npos) {
            std::string error;
            sio::message::ptr line = sio::json::parse(buffer.data(), nl, &error);
            buffer.erase(0, nl + 1);
            if (!line || !line->is(sio::message::flag::object))
                continue;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                lines_.push_back(line);
            }
            cv_.notify_all();
        }
    }
    close(fd);
}

std::size_t Peer::mark()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_.size();
}

sio::message::ptr Peer::waitFor(const std::string &ev, const std::function<bool(const sio::message &)> &match,
                                int timeoutMs, std::size_t from, const std::function<void()> &idle)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        for (std::size_t i = from; i < lines_.size(); ++i)
            if (field(*lines_[i], "ev") == ev && (!match || match(*lines_[i])))
                return lines_[i];
        if (std::chrono::steady_clock::now() >= deadline)
            return nullptr;
        if (idle) {
            lock.unlock();
            idle();
            lock.lock();
        } else {
            cv_.wait_for(lock, std::chrono::milliseconds(20));
        }
    }
}

sio::message::ptr Peer::waitFor(const std::string &ev, int timeoutMs, std::size_t from, const std::function<void()> &idle)
{
    return waitFor(ev, nullptr, timeoutMs, from, idle);
}

std::vector<sio::message::ptr> Peer::all(const std::string &ev, std::size_t from)
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<sio::message::ptr> out;
    for (std::size_t i = from; i < lines_.size(); ++i)
        if (field(*lines_[i], "ev") == ev)
            out.push_back(lines_[i]);
    return out;
}
