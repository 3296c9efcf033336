#include "support/LocalHttpServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace tolvi::test {

namespace {

const char* reason(int status)
{
    switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

bool sendAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t count = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (count <= 0)
            return false;
        bytes.remove_prefix(std::size_t(count));
    }
    return true;
}

HttpRequest parseRequest(const std::string& head)
{
    HttpRequest request;
    std::size_t lineEnd = head.find("\r\n");
    const std::string first = head.substr(0, lineEnd);
    const std::size_t space1 = first.find(' ');
    const std::size_t space2 = first.find(' ', space1 + 1);
    request.method = first.substr(0, space1);
    request.path = first.substr(space1 + 1, space2 - space1 - 1);
    while (lineEnd != std::string::npos && lineEnd + 2 < head.size()) {
        const std::size_t start = lineEnd + 2;
        lineEnd = head.find("\r\n", start);
        const std::string line = head.substr(start, lineEnd - start);
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string name = line.substr(0, colon);
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        std::size_t valueStart = colon + 1;
        while (valueStart < line.size() && line[valueStart] == ' ')
            ++valueStart;
        request.headers[name] = line.substr(valueStart);
    }
    return request;
}

}  // namespace

LocalHttpServer::LocalHttpServer()
{
    others_ = HttpReply::page("<HTML><BODY>404 Not Found</BODY></HTML>\r\n", 404);
    if (::pipe(stopPipe_) != 0)
        throw std::runtime_error("pipe failed");
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (listener_ < 0)
        throw std::runtime_error("socket failed");
    const int yes = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener_, 16) != 0)
        throw std::runtime_error("bind/listen on 127.0.0.1 failed");
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { acceptLoop(); });
}

LocalHttpServer::~LocalHttpServer()
{
    const char stop = 's';
    [[maybe_unused]] const ssize_t written = ::write(stopPipe_[1], &stop, 1);
    acceptor_.join();
    // No new handler can start now.
    for (std::thread& handler : handlers_)
        handler.join();
    ::close(listener_);
    ::close(stopPipe_[0]);
    ::close(stopPipe_[1]);
}

std::string LocalHttpServer::host() const
{
    return "127.0.0.1:" + std::to_string(port_);
}

void LocalHttpServer::serve(const std::string& path, HttpReply reply)
{
    serveInTurn(path, {std::move(reply)});
}

void LocalHttpServer::serveInTurn(const std::string& path, std::vector<HttpReply> replies)
{
    std::lock_guard lock(mutex_);
    replies_[path] = std::move(replies);
    served_[path] = 0;
}

void LocalHttpServer::serveOthers(HttpReply reply)
{
    std::lock_guard lock(mutex_);
    others_ = std::move(reply);
}

std::vector<HttpRequest> LocalHttpServer::requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

std::vector<std::string> LocalHttpServer::paths() const
{
    std::vector<std::string> result;
    for (const HttpRequest& request : requests())
        result.push_back(request.path);
    return result;
}

int LocalHttpServer::count(const std::string& path) const
{
    const auto all = paths();
    return int(std::count(all.begin(), all.end(), path));
}

HttpReply LocalHttpServer::replyFor(const std::string& path)
{
    std::lock_guard lock(mutex_);
    const auto found = replies_.find(path);
    if (found == replies_.end() || found->second.empty())
        return others_;
    std::size_t& next = served_[path];
    const HttpReply reply = found->second[std::min(next, found->second.size() - 1)];
    ++next;
    return reply;
}

bool LocalHttpServer::waitReadable(int fd) const
{
    pollfd fds[2] = {{fd, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
    while (true) {
        if (::poll(fds, 2, -1) < 0)
            return false;
        if (fds[1].revents)
            return false;
        if (fds[0].revents)
            return true;
    }
}

void LocalHttpServer::acceptLoop()
{
    while (waitReadable(listener_)) {
        const int connection = ::accept(listener_, nullptr, nullptr);
        if (connection < 0)
            continue;
        std::lock_guard lock(mutex_);
        handlers_.emplace_back([this, connection] { handle(connection); });
    }
}

void LocalHttpServer::handle(int connection)
{
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        if (!waitReadable(connection)) {
            ::close(connection);
            return;
        }
        const ssize_t count = ::recv(connection, buffer, sizeof buffer, 0);
        if (count <= 0) {
            ::close(connection);
            return;
        }
        head.append(buffer, std::size_t(count));
    }
    const HttpRequest request = parseRequest(head);
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
    }
    const HttpReply reply = replyFor(request.path);
    using Ending = HttpReply::Ending;

    if (reply.ending != Ending::Silent) {
        std::string out = "HTTP/1.1 " + std::to_string(reply.status) + " " + reason(reply.status) + "\r\n";
        out += "Content-Type: text/html; charset=Shift_JIS\r\nConnection: close\r\n";
        if (reply.ending != Ending::NoLength)
            out += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
        for (const auto& [name, value] : reply.headers)
            out += name + ": " + value + "\r\n";
        out += "\r\n";
        const bool early = reply.ending != Ending::Complete && reply.ending != Ending::NoLength;
        out += early ? reply.body.substr(0, reply.sent) : reply.body;
        sendAll(connection, out);
    }

    switch (reply.ending) {
    case Ending::ResetEarly: {
        const linger reset {1, 0};
        ::setsockopt(connection, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        break;
    }
    case Ending::StallEarly:
    case Ending::Silent:
        // Until the client gives up (or the test ends).
        while (waitReadable(connection) && ::recv(connection, buffer, sizeof buffer, 0) > 0) { }
        break;
    default: ::shutdown(connection, SHUT_WR); break;
    }
    ::close(connection);
}

int closedLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

}  // namespace tolvi::test
