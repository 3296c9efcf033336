#pragma once
// Filling the entry fields from the lottery's monthly results pages.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace tolvi {

// HTTP as the retrieval needs it; the real one uses libcurl, tests serve pages locally.
class HttpClient {
public:
    virtual ~HttpClient() = default;
    // A cheap honest test that the results server can be reached at all (its name resolves).
    virtual bool canConnect() = 0;
    // Fetches `url` and hands each received block of the body to `onBlock`, whatever the HTTP
    // status; `idle` is called often while waiting so the window stays alive. Returns false
    // when the page could not be opened or the transfer failed.
    virtual bool fetch(const std::string& url, const std::function<void(std::string_view)>& onBlock,
                       const std::function<void()>& idle) = 0;
};

// The libcurl client for `host` ("name" or "name:port").
std::unique_ptr<HttpClient> makeCurlClient(const std::string& host);

// The results server's host name, fixed at build time.
std::string defaultResultsHost();

struct RetrievalHooks {
    std::function<void()> processEvents;                                    // let the window repaint
    std::function<void(std::string_view edit, const std::string& text)> setField;  // UTF-8 text
};

enum class MessageKind { None, Plain, Information };

struct RetrievalResult {
    bool filled = false;          // both pages found and parsed
    MessageKind kind = MessageKind::None;
    std::string message;          // UTF-8, lines joined by "\r\n"
};

// One click of "インターネットから参照": `panelTitle` is Label28's caption (UTF-8); `workDir`
// receives numbers.tmp. File failures raise IoError.
RetrievalResult retrieveResults(std::string_view panelTitle, HttpClient& http, const std::string& host,
                                const std::filesystem::path& workDir, const RetrievalHooks& hooks);

}  // namespace tolvi
