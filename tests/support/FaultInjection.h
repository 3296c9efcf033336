#pragma once
// Ways to make the system around the programs fail on purpose: a file even root cannot open for
// writing, a file system without room, a "server" on 127.0.0.1 that answers with bytes that are
// not HTTP, resets the connection at once or never answers a connect, and a view that does
// something to the history file in the middle of a run. Header-only so that the core tests and
// the window tests can share it.

#include "engine/RunResult.h"
#include "engine/RunView.h"

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <linux/fs.h>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <string>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace tolvi::test {

// Makes a file immutable for the guard's lifetime (the one kind of read-only that binds root
// too). isSet() is false where the file system or the user's rights do not allow it.
class ImmutableFile {
public:
    explicit ImmutableFile(std::filesystem::path path) : path_(std::move(path))
    {
        set_ = change(true) && refusesWrites();
    }
    ~ImmutableFile() { release(); }
    ImmutableFile(const ImmutableFile&) = delete;
    ImmutableFile& operator=(const ImmutableFile&) = delete;

    bool isSet() const { return set_; }
    void release()
    {
        if (set_)
            change(false);
        set_ = false;
    }

private:
    bool change(bool on) const
    {
        const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return false;
        int flags = 0;
        bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (ok) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return ok;
    }
    bool refusesWrites() const
    {
        const int fd = ::open(path_.c_str(), O_RDWR | O_CLOEXEC);
        if (fd >= 0) {
            ::close(fd);
            change(false);
            return false;
        }
        return true;
    }

    std::filesystem::path path_;
    bool set_ = false;
};

// A small tmpfs mounted on `where` (created empty) for the guard's lifetime.
class SmallTmpfs {
public:
    SmallTmpfs(std::filesystem::path where, const std::string& options) : where_(std::move(where))
    {
        std::filesystem::create_directory(where_);
        mounted_ = ::mount("tolvi-test", where_.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~SmallTmpfs()
    {
        if (mounted_)
            ::umount2(where_.c_str(), MNT_DETACH);
    }
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;

    bool isMounted() const { return mounted_; }
    const std::filesystem::path& path() const { return where_; }

    // Writes a filler file until the file system has no room left; true when it is full.
    bool fillUp() const
    {
        const std::filesystem::path filler = where_ / "filler";
        const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0)
            return false;
        const std::string block(4096, 'x');
        while (::write(fd, block.data(), block.size()) > 0) { }
        while (::write(fd, "x", 1) > 0) { }
        const bool full = errno == ENOSPC;
        ::close(fd);
        return full;
    }
    void makeRoom() const { std::filesystem::remove(where_ / "filler"); }

private:
    std::filesystem::path where_;
    bool mounted_ = false;
};

// A TCP listener on 127.0.0.1 that treats every connection the same wrong way, on a thread of
// its own, until it is destroyed.
class RawTcpServer {
public:
    enum class Behaviour {
        Garbage,      // reads the request, answers with random bytes that are no HTTP, closes
        ResetAtOnce,  // resets the connection as soon as it is accepted
        Trickle,      // answers 200 with a long Content-Length, then one byte every 50 ms for ever
        Backlogged,   // accepts nothing, and its one-place queue is kept full: no connect is answered
    };

    explicit RawTcpServer(Behaviour behaviour) : behaviour_(behaviour)
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener_, behaviour == Behaviour::Backlogged ? 0 : 16) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        port_ = ntohs(address.sin_port);
        if (behaviour == Behaviour::Backlogged) {
            // With a backlog of 0 this one connection fills the queue, and Linux drops the SYN of
            // every later connect while it waits there.
            filler_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            if (::connect(filler_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
                port_ = 0;
            return;
        }
        thread_ = std::thread([this] { serve(); });
    }
    ~RawTcpServer()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        if (listener_ >= 0)
            ::close(listener_);
        if (filler_ >= 0)
            ::close(filler_);
    }
    RawTcpServer(const RawTcpServer&) = delete;
    RawTcpServer& operator=(const RawTcpServer&) = delete;

    bool isListening() const { return port_ != 0; }
    std::string host() const { return "127.0.0.1:" + std::to_string(port_); }
    int connections() const { return connections_; }

private:
    void serve()
    {
        std::mt19937 random(7);
        while (!stop_) {
            pollfd wait {listener_, POLLIN, 0};
            if (::poll(&wait, 1, 50) <= 0)
                continue;
            const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection < 0)
                continue;
            ++connections_;
            if (behaviour_ == Behaviour::ResetAtOnce) {
                const linger reset {1, 0};
                ::setsockopt(connection, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
            } else if (behaviour_ == Behaviour::Trickle) {
                trickle(connection);
            } else {
                char request[4096];
                pollfd readable {connection, POLLIN, 0};
                // Whatever the request holds, the answer is the same.
                if (::poll(&readable, 1, 1000) > 0 && ::recv(connection, request, sizeof request, 0) < 0) { }
                std::string garbage(3000, '\0');
                for (char& c : garbage)
                    c = char(random() % 256);
                garbage.replace(0, 6, "\x01\x02GARB");
                if (::send(connection, garbage.data(), garbage.size(), MSG_NOSIGNAL) < 0) { }
            }
            ::close(connection);
        }
    }

    // Until the client goes away or the server stops.
    void trickle(int connection)
    {
        char request[4096];
        pollfd readable {connection, POLLIN, 0};
        if (::poll(&readable, 1, 1000) > 0 && ::recv(connection, request, sizeof request, 0) < 0) { }
        const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 1000000\r\n\r\n<HTML>";
        if (::send(connection, head.data(), head.size(), MSG_NOSIGNAL) < 0)
            return;
        while (!stop_) {
            ::usleep(50000);
            if (::send(connection, "x", 1, MSG_NOSIGNAL) < 0)
                return;
        }
    }

    Behaviour behaviour_;
    int listener_ = -1;
    int filler_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_ {false};
    std::atomic<int> connections_ {0};
    std::thread thread_;
};

// Passes everything on to `inner` and calls `act` once, at the first result row or part of the
// result the run shows: the moment another program could change the history file under a running run.
class InterferingView : public RunView {
public:
    InterferingView(RunView& inner, std::function<void()> act) : inner_(inner), act_(std::move(act)) { }

    void clearResults() override { inner_.clearResults(); }
    void addResult(ResultRow row) override
    {
        interfere();
        inner_.addResult(std::move(row));
    }
    void addStats(StatsRow row) override { inner_.addStats(std::move(row)); }
    void show(const RunResult& result, RunPart part) override
    {
        interfere();
        inner_.show(result, part);
    }
    bool showsProgress() const override { return inner_.showsProgress(); }

    bool acted() const { return acted_; }

private:
    void interfere()
    {
        if (acted_)
            return;
        acted_ = true;
        act_();
    }

    RunView& inner_;
    std::function<void()> act_;
    bool acted_ = false;
};

}  // namespace tolvi::test
