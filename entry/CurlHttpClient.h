#pragma once
// The results server over HTTP with libcurl.

#include "entry/ResultRetrieval.h"

#include <chrono>
#include <string>

namespace tolvi {

// The waits of one fetch; the defaults are the ones the program uses.
struct CurlTimeouts {
    // Longest wait for a connection; a connection that fails or times out is tried again
    // `connectRetries` times.
    std::chrono::milliseconds connect {10000};
    int connectRetries = 1;
    // A connected transfer that receives nothing for this long (before or after the first
    // byte) is abandoned.
    std::chrono::milliseconds receive {10000};
    // Longest time one page may take from the request to its last byte, however steadily its
    // bytes keep coming: a server that sends a trickle cannot hold the entry panel locked for ever.
    std::chrono::milliseconds whole {60000};
};

class CurlHttpClient : public HttpClient {
public:
    // `host` is "name" or "name:port" (an IPv6 address in brackets).
    explicit CurlHttpClient(std::string host, CurlTimeouts timeouts = CurlTimeouts());

    // True when the host name resolves. No packet is sent to the server.
    bool canConnect() override;

    // Fetches `url` with the agent name "Microsoft Internet　Explorer" (Shift-JIS), asking every
    // cache on the way to pass the request on. The body is handed over whatever the status.
    // Redirects are followed. An exception thrown by `onBlock` or `idle` stops the transfer and
    // is rethrown from here.
    bool fetch(const std::string& url, const std::function<void(std::string_view)>& onBlock,
               const std::function<void()>& idle) override;

    // The host part of "name:port" or "[v6]:port".
    static std::string hostName(const std::string& host);

private:
    std::string host_;
    CurlTimeouts timeouts_;
};

}  // namespace tolvi
