#pragma once
// A real HTTP server on 127.0.0.1 with a port of the system's choosing, run by the test itself on
// its own threads. It serves fixed bytes per path and can misbehave the way a far-away server
// does: stop in the middle of a page, reset the connection, or fall silent.

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace tolvi::test {

struct HttpReply {
    enum class Ending {
        Complete,    // the whole body with its Content-Length, then the connection is closed
        NoLength,    // the body without Content-Length; closing the connection ends it
        CloseEarly,  // Content-Length of the whole body, only `sent` bytes, then an orderly close
        ResetEarly,  // Content-Length of the whole body, only `sent` bytes, then a TCP reset
        StallEarly,  // Content-Length of the whole body, only `sent` bytes, then nothing more
        Silent,      // the request is read and never answered
    };

    std::string body;
    int status = 200;
    Ending ending = Ending::Complete;
    std::size_t sent = 0;  // bytes of the body sent before an early ending
    std::vector<std::pair<std::string, std::string>> headers;

    static HttpReply page(std::string body, int status = 200)
    {
        return {std::move(body), status, Ending::Complete, 0, {}};
    }
    static HttpReply endingEarly(std::string body, std::size_t sent, Ending ending)
    {
        return {std::move(body), 200, ending, sent, {}};
    }
    static HttpReply silent() { return {{}, 200, Ending::Silent, 0, {}}; }
};

struct HttpRequest {
    std::string method;
    std::string path;
    std::map<std::string, std::string> headers;  // names in lower case, values as raw bytes
};

class LocalHttpServer {
public:
    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    // "127.0.0.1:PORT".
    std::string host() const;
    std::uint16_t port() const { return port_; }

    // Every request for `path` gets `reply`.
    void serve(const std::string& path, HttpReply reply);
    // Requests for `path` get the replies in turn; the last one is repeated.
    void serveInTurn(const std::string& path, std::vector<HttpReply> replies);
    // Requests for any other path; at first a short "404 Not Found" page.
    void serveOthers(HttpReply reply);

    std::vector<HttpRequest> requests() const;
    // The paths requested, in order.
    std::vector<std::string> paths() const;
    int count(const std::string& path) const;

private:
    void acceptLoop();
    void handle(int connection);
    HttpReply replyFor(const std::string& path);
    // Waits until `fd` is readable or the server stops; false when it stops.
    bool waitReadable(int fd) const;

    int listener_ = -1;
    int stopPipe_[2] = {-1, -1};
    std::uint16_t port_ = 0;
    mutable std::mutex mutex_;
    std::map<std::string, std::vector<HttpReply>> replies_;
    std::map<std::string, std::size_t> served_;
    HttpReply others_;
    std::vector<HttpRequest> requests_;
    std::vector<std::thread> handlers_;
    std::thread acceptor_;
};

// A port on 127.0.0.1 where nothing listens (bound, read back and released again).
int closedLoopbackPort();

}  // namespace tolvi::test
