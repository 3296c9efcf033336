#pragma once
// HTTP with libcurl: one transfer loop, used by the results server's client below and by the
// import's downloads (transport/SourceDownload).

#include "transport/HttpClient.h"

#include <chrono>
#include <cstddef>
#include <curl/curl.h>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

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

// One GET as curlFetch() sends it.
struct CurlRequest {
    std::string agent;                 // the User-Agent header
    std::vector<std::string> headers;  // further header lines, "Name: value"
    CurlTimeouts timeouts;
    // A status of 400 or more ends the transfer before its body, with CURLE_HTTP_RETURNED_ERROR.
    bool failOnHttpError = false;
    // 0: any size. Otherwise a body larger than this ends the transfer with
    // CURLE_FILESIZE_EXCEEDED as soon as its announced length shows it, or else as soon as it
    // grows past; nothing beyond the limit reaches `onBlock`.
    std::size_t maxBytes = 0;
};

// Whether `text` begins with `lowerPrefix` (ASCII, lower case) in any case: header names and
// address schemes are case-insensitive.
bool startsWithNoCase(std::string_view text, std::string_view lowerPrefix);

// How one fetch ended, for callers that must tell the user why it failed.
struct CurlOutcome {
    enum class TimeOut {
        None,
        Connect,  // no connection within CurlTimeouts::connect (on the last try)
        Receive,  // connected, then nothing received for CurlTimeouts::receive
        Whole,    // CurlTimeouts::whole ran out while bytes kept coming
    };
    CURLcode result = CURLE_OK;
    TimeOut timeOut = TimeOut::None;  // set when `result` is CURLE_OPERATION_TIMEDOUT
    long status = 0;                  // HTTP status of the last response; 0 when none came
    int osError = 0;                  // errno behind a failed connect or receive; 0 when unknown
    std::string detail;               // libcurl's own English words on a failure; empty on success
    // The body's end was marked (a length, chunks, HTTP/2). Otherwise it ended where the server
    // closed the connection, which looks the same whether it was complete or cut short.
    bool delimited = false;
};

// GETs `url` and hands each block of the body to `onBlock` as it arrives. Only http and https
// are spoken, also after a redirect; redirects are followed up to 10 times; certificates and
// host names are checked. A connection that fails or times out is tried again
// `request.timeouts.connectRetries` times. `idle` (may be empty) gets a turn at least every 50
// ms. An exception thrown by `onBlock` or `idle` stops the transfer and is rethrown from here.
CurlOutcome curlFetch(const std::string& url, const CurlRequest& request,
                      const std::function<void(std::string_view)>& onBlock, const std::function<void()>& idle);

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
