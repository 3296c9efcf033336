#pragma once
// HTTP as the results pages' retrieval needs it: the real client uses libcurl
// (transport/CurlHttpClient), tests serve pages locally.

#include <functional>
#include <string>
#include <string_view>

namespace tolvi {

class HttpClient {
public:
    virtual ~HttpClient() = default;
    // A cheap honest test that the results server can be reached at all (its name resolves).
    virtual bool canConnect() = 0;
    // Fetches `url` and hands each received block of the body to `onBlock`, whatever the HTTP
    // status; `idle` is called often while waiting so the window stays alive. Returns false
    // when the page could not be opened or the transfer failed (blocks may have been handed
    // over before that). An exception thrown by `onBlock` or `idle` ends the transfer and
    // leaves fetch().
    virtual bool fetch(const std::string& url, const std::function<void(std::string_view)>& onBlock,
                       const std::function<void()>& idle) = 0;
};

}  // namespace tolvi
