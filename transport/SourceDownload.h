#pragma once
// Downloading an import source given as an http:// or https:// address.

#include "base/Errors.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace tolvi {

// What keeps one download from running on, or growing, for ever.
struct DownloadLimits {
    std::size_t maxBytes = std::size_t(32) << 20;  // a larger body is refused while it arrives; 0: any
    std::chrono::milliseconds connect {10000};      // longest wait for a connection
    std::chrono::milliseconds receive {10000};      // connected, nothing received for this long: give up
    std::chrono::milliseconds whole {120000};       // the whole transfer at most
};

// The server answered with an HTTP status of 400 or more: callers may tell a file that is not
// there (404) from a server that refuses them (403).
struct HttpStatusError : IoError {
    HttpStatusError(const std::string& message, long status) : IoError(message), status(status) {}
    long status;
};

// True for the sources downloadSource() takes: "http://" or "https://", the scheme in any case.
bool isDownloadAddress(std::string_view source);

// The whole body of `address`, byte for byte, after any redirects (http and https only, at most
// 10, certificates and host names checked). Anything short of a complete body with a status below
// 400 is an IoError whose Japanese message names the address and the cause: an address that is not
// http(s), a name not found, a connection refused or timed out, a stall, a connection reset or cut
// short, a TLS or certificate failure, the HTTP status (HttpStatusError), a body over `limits.maxBytes`. A body that
// has neither a length nor chunks ends where the server closes the connection; HTTP cannot tell
// such a body from one cut short, so it is taken as complete only when it ends with a line end
// (else IoError: a cut inside the last row would import a wrong value).
std::string downloadSource(const std::string& address, const DownloadLimits& limits = {});

}  // namespace tolvi
