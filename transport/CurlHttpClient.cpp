#include "transport/CurlHttpClient.h"

#include "transport/CurlLibrary.h"
#include "transport/ShiftJis.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <optional>
#include <sys/socket.h>
#include <utility>

namespace tolvi {

namespace {

// How long one wait for network activity may last before the window gets its turn again.
constexpr int kIdleIntervalMs = 50;

struct EasyDeleter {
    void operator()(CURL* easy) const { CurlLibrary::get().easyCleanup(easy); }
};
struct MultiDeleter {
    void operator()(CURLM* multi) const { CurlLibrary::get().multiCleanup(multi); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { CurlLibrary::get().slistFreeAll(list); }
};

// One transfer's hand-over of the body. An exception may not cross libcurl's C frames, so the
// write callback parks it here, stops the transfer and curlFetch() rethrows it.
struct Receiver {
    const std::function<void(std::string_view)>* onBlock = nullptr;
    std::size_t maxBytes = 0;  // 0: no limit
    std::exception_ptr failure;
    bool tooLarge = false;
    bool stalled = false;  // perform() gave up after the receive time-out
    std::size_t delivered = 0;
    bool delimited = false;  // the response gave a length or came in chunks
    std::chrono::steady_clock::time_point lastByte;  // of the headers or the body
};

std::size_t receiveBlock(char* data, std::size_t, std::size_t count, void* user)
{
    auto* receiver = static_cast<Receiver*>(user);
    receiver->lastByte = std::chrono::steady_clock::now();
    if (count == 0)
        return 0;
    if (receiver->maxBytes != 0 && count > receiver->maxBytes - receiver->delivered) {
        receiver->tooLarge = true;
        return 0;
    }
    try {
        (*receiver->onBlock)(std::string_view(data, count));
        receiver->delivered += count;
        return count;
    } catch (...) {
        receiver->failure = std::current_exception();
        return 0;  // any count other than `count` stops the transfer
    }
}

std::size_t receiveHeader(char* data, std::size_t, std::size_t count, void* user)
{
    auto* receiver = static_cast<Receiver*>(user);
    receiver->lastByte = std::chrono::steady_clock::now();
    // Whether the last response says where its body ends: a status line starts a new response
    // (after a redirect or a 100 Continue).
    const std::string_view line(data, count);
    if (startsWithNoCase(line, "http/"))
        receiver->delimited = false;
    else if (startsWithNoCase(line, "content-length:"))
        receiver->delimited = true;
    else if (startsWithNoCase(line, "transfer-encoding:")) {
        std::string value(line.substr(18));
        std::transform(value.begin(), value.end(), value.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        receiver->delimited = receiver->delimited || value.find("chunked") != std::string::npos;
    }
    return count;
}

// Runs the transfer set up on `easy` to its end, giving `idle` a turn at least every
// kIdleIntervalMs, and returns libcurl's result for it. Once connected, a transfer that
// receives nothing for `receiveTimeout` ends with CURLE_OPERATION_TIMEDOUT.
CURLcode perform(CURL* easy, Receiver& receiver, std::chrono::milliseconds receiveTimeout,
                 const std::function<void()>& idle)
{
    const CurlLibrary& curl = CurlLibrary::get();
    using Clock = std::chrono::steady_clock;
    std::unique_ptr<CURLM, MultiDeleter> multi(curl.multiInit());
    if (!multi || curl.multiAddHandle(multi.get(), easy) != CURLM_OK)
        return CURLE_OUT_OF_MEMORY;
    struct Detach {
        CURLM* multi;
        CURL* easy;
        ~Detach() { CurlLibrary::get().multiRemoveHandle(multi, easy); }
    } detach {multi.get(), easy};

    std::optional<Clock::time_point> connectedAt;
    int running = 1;
    while (running) {
        if (curl.multiPerform(multi.get(), &running) != CURLM_OK)
            return CURLE_FAILED_INIT;
        if (!running)
            break;
        curl_off_t connectTime = 0;
        curl.easyGetinfo(easy, CURLINFO_CONNECT_TIME_T, &connectTime);
        if (connectTime > 0) {
            const Clock::time_point now = Clock::now();
            if (!connectedAt)
                connectedAt = now;
            if (now - std::max(*connectedAt, receiver.lastByte) >= receiveTimeout) {
                receiver.stalled = true;
                return CURLE_OPERATION_TIMEDOUT;
            }
        }
        if (idle)
            idle();
        if (curl.multiPoll(multi.get(), nullptr, 0, kIdleIntervalMs, nullptr) != CURLM_OK)
            return CURLE_FAILED_INIT;
    }
    CURLcode result = CURLE_FAILED_INIT;
    int left = 0;
    while (CURLMsg* message = curl.multiInfoRead(multi.get(), &left))
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy)
            result = message->data.result;
    return result;
}

bool connected(CURL* easy)
{
    curl_off_t connectTime = 0;
    CurlLibrary::get().easyGetinfo(easy, CURLINFO_CONNECT_TIME_T, &connectTime);
    return connectTime > 0;
}

// True when the transfer ended before a connection to the server was made.
bool connectionFailed(CURL* easy, CURLcode result)
{
    if (result == CURLE_COULDNT_CONNECT)
        return true;
    return result == CURLE_OPERATION_TIMEDOUT && !connected(easy);
}

// What the user is told about a time-out depends on which of the three waits ran out.
CurlOutcome::TimeOut timeOutOf(CURL* easy, const Receiver& receiver, const CurlTimeouts& timeouts,
                               std::chrono::steady_clock::duration elapsed)
{
    using TimeOut = CurlOutcome::TimeOut;
    if (!connected(easy))
        return TimeOut::Connect;
    // libcurl's whole-transfer time-out goes by its own clock, which may read a millisecond or
    // so ahead of ours; at any earlier moment it was its low-speed backstop, a stall in all but
    // name.
    constexpr std::chrono::milliseconds slack {50};
    if (receiver.stalled || elapsed + slack < timeouts.whole)
        return TimeOut::Receive;
    return TimeOut::Whole;
}

}  // namespace

CurlHttpClient::CurlHttpClient(std::string host, CurlTimeouts timeouts) : host_(std::move(host)), timeouts_(timeouts) {}

std::string CurlHttpClient::hostName(const std::string& host)
{
    if (!host.empty() && host.front() == '[') {
        const std::size_t close = host.find(']');
        return host.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    }
    const std::size_t colon = host.find(':');
    if (colon != std::string::npos && host.find(':', colon + 1) == std::string::npos)
        return host.substr(0, colon);
    return host;  // a bare name, or an IPv6 address without a port
}

bool CurlHttpClient::canConnect()
{
    const std::string name = hostName(host_);
    if (name.empty())
        return false;
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int result = getaddrinfo(name.c_str(), nullptr, &hints, &found);
    if (found)
        freeaddrinfo(found);
    return result == 0;
}

bool CurlHttpClient::fetch(const std::string& url, const std::function<void(std::string_view)>& onBlock,
                           const std::function<void()>& idle)
{
    CurlRequest request;
    request.agent = toShiftJis("Microsoft Internet　Explorer");
    request.headers = {"Cache-Control: no-cache", "Pragma: no-cache"};
    request.timeouts = timeouts_;
    return curlFetch(url, request, onBlock, idle).result == CURLE_OK;
}

CurlOutcome curlFetch(const std::string& url, const CurlRequest& request,
                      const std::function<void(std::string_view)>& onBlock, const std::function<void()>& idle)
{
    const CurlLibrary& curl = CurlLibrary::get();
    CurlOutcome outcome;
    std::unique_ptr<CURL, EasyDeleter> easy(curl.easyInit());
    if (!easy) {
        outcome.result = CURLE_FAILED_INIT;
        return outcome;
    }
    std::unique_ptr<curl_slist, ListDeleter> headerList;
    for (const std::string& header : request.headers) {
        curl_slist* longer = curl.slistAppend(headerList.get(), header.c_str());
        if (!longer) {
            outcome.result = CURLE_OUT_OF_MEMORY;
            return outcome;
        }
        headerList.release();  // the same list, longer (or the first line's new list)
        headerList.reset(longer);
    }
    const CurlTimeouts& timeouts = request.timeouts;

    Receiver receiver;
    receiver.onBlock = &onBlock;
    receiver.maxBytes = request.maxBytes;
    char errorText[CURL_ERROR_SIZE] = {};
    CURL* e = easy.get();
    curl.easySetopt(e, CURLOPT_URL, url.c_str());
    curl.easySetopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl.easySetopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl.easySetopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl.easySetopt(e, CURLOPT_MAXREDIRS, 10L);
    curl.easySetopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
    curl.easySetopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
    curl.easySetopt(e, CURLOPT_USERAGENT, request.agent.c_str());
    curl.easySetopt(e, CURLOPT_HTTPHEADER, headerList.get());
    curl.easySetopt(e, CURLOPT_FAILONERROR, request.failOnHttpError ? 1L : 0L);
    if (request.maxBytes != 0)
        curl.easySetopt(e, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(request.maxBytes));
    curl.easySetopt(e, CURLOPT_ERRORBUFFER, errorText);
    curl.easySetopt(e, CURLOPT_NOSIGNAL, 1L);
    curl.easySetopt(e, CURLOPT_NOPROGRESS, 1L);
    curl.easySetopt(e, CURLOPT_FRESH_CONNECT, 1L);
    curl.easySetopt(e, CURLOPT_FORBID_REUSE, 1L);
    curl.easySetopt(e, CURLOPT_CONNECTTIMEOUT_MS, long(timeouts.connect.count()));
    curl.easySetopt(e, CURLOPT_TIMEOUT_MS, long(timeouts.whole.count()));
    // libcurl's own check averages the speed over several seconds and so notices a stall
    // late; it stays as a backstop behind the exact receive time-out in perform().
    const auto lowSpeedSeconds = std::chrono::ceil<std::chrono::seconds>(timeouts.receive).count();
    curl.easySetopt(e, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl.easySetopt(e, CURLOPT_LOW_SPEED_TIME, long(std::max<decltype(lowSpeedSeconds)>(1, lowSpeedSeconds)));
    curl.easySetopt(e, CURLOPT_WRITEFUNCTION, receiveBlock);
    curl.easySetopt(e, CURLOPT_WRITEDATA, &receiver);
    curl.easySetopt(e, CURLOPT_HEADERFUNCTION, receiveHeader);
    curl.easySetopt(e, CURLOPT_HEADERDATA, &receiver);

    for (int attempt = 0;; ++attempt) {
        errorText[0] = '\0';
        receiver.stalled = false;
        const auto start = std::chrono::steady_clock::now();
        outcome.result = perform(e, receiver, timeouts.receive, idle);
        if (receiver.failure)
            std::rethrow_exception(receiver.failure);
        if (outcome.result == CURLE_OK || attempt >= timeouts.connectRetries || receiver.delivered != 0 ||
            !connectionFailed(e, outcome.result)) {
            if (outcome.result == CURLE_OPERATION_TIMEDOUT)
                outcome.timeOut = timeOutOf(e, receiver, timeouts, std::chrono::steady_clock::now() - start);
            break;
        }
    }
    if (receiver.tooLarge) {
        outcome.result = CURLE_FILESIZE_EXCEEDED;
        errorText[0] = '\0';  // libcurl only saw its write callback refuse the block
    }
    curl.easyGetinfo(e, CURLINFO_RESPONSE_CODE, &outcome.status);
    long osError = 0;
    curl.easyGetinfo(e, CURLINFO_OS_ERRNO, &osError);
    outcome.osError = int(osError);
    long version = 0;
    curl.easyGetinfo(e, CURLINFO_HTTP_VERSION, &version);
    // HTTP/2 and later mark the end of every body.
    outcome.delimited = receiver.delimited || version >= CURL_HTTP_VERSION_2_0;
    if (outcome.result != CURLE_OK)
        outcome.detail = errorText[0] != '\0' ? errorText : curl.easyStrerror(outcome.result);
    return outcome;
}

bool startsWithNoCase(std::string_view text, std::string_view lowerPrefix)
{
    if (text.size() < lowerPrefix.size())
        return false;
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != lowerPrefix[i])
            return false;
    return true;
}

}  // namespace tolvi
