#include "entry/ResultRetrieval.h"

#include "base/Errors.h"
#include "entry/EntryFields.h"
#include "transport/CurlHttpClient.h"
#include "transport/ShiftJis.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace tolvi {

namespace {

// A page of this many received bytes or fewer, complete and without the draw, is the server's
// "no such page" answer: the months after it hold nothing yet.
constexpr std::size_t kShortPageBytes = 250;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// numbers.tmp while a page arrives: created (or emptied) only once the server has opened the
// page, and flushed after every block so that it always holds what was received.
class PageFile {
public:
    explicit PageFile(std::filesystem::path path) : path_(std::move(path)) { }

    void open()
    {
        if (file_)
            return;
        file_.reset(std::fopen(path_.c_str(), "wb"));
        if (!file_)
            throw IoError(describeSystemError(path_.string() + " を作成できません", errno));
    }

    void write(std::string_view block)
    {
        open();
        if (std::fwrite(block.data(), 1, block.size(), file_.get()) != block.size() || std::fflush(file_.get()) != 0)
            throw IoError(describeSystemError(path_.string() + " に書き込めません", errno));
    }

    void close()
    {
        if (file_ && std::fclose(file_.release()) != 0)
            throw IoError(describeSystemError(path_.string() + " に書き込めません", errno));
    }

private:
    std::filesystem::path path_;
    std::unique_ptr<std::FILE, FileCloser> file_;
};

// Raised from inside a transfer when the page grows past the limit; it stops the transfer.
struct PageTooLarge { };

// The whole of numbers.tmp, however long (never longer than `maxBytes`, which the download
// has already enforced).
std::string readPage(const std::filesystem::path& path, std::size_t maxBytes)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        throw IoError(describeSystemError(path.string() + " を開けません", errno));
    std::string page;
    char buffer[16384];
    while (true) {
        const std::size_t count = std::fread(buffer, 1, sizeof buffer, file.get());
        page.append(buffer, count);
        if (page.size() > maxBytes)
            throw PageTooLarge();
        if (count < sizeof buffer)
            break;
    }
    if (std::ferror(file.get()))
        throw IoError(describeSystemError(path.string() + " を読み込めません", errno));
    return page;
}

// Writes one page's results into the panel's edits of that page's kind.
void fillFields(PageKind kind, const ParsedResults& results, const RetrievalHooks& hooks)
{
    if (!hooks.setField)
        return;
    const EntryField number = kind == PageKind::Numbers3 ? EntryField::Num3Edit : EntryField::Num4Edit;
    hooks.setField(number, fromShiftJis(results.number));
    // The prizes' edits follow their number's in tab order.
    for (std::size_t i = 0; i < results.prizes.size(); ++i)
        hooks.setField(entryFieldAt(entryFieldIndex(number) + 1 + i), fromShiftJis(results.prizes[i]));
}

// Thrown from the window's turns once the program is ending or the user stopped the walk; it
// unwinds the transfer and the walk.
struct ProgramEnding { };
// Thrown from the window's turns once the walk has taken its whole time.
struct OutOfTime { };

RetrievalResult message(MessageKind kind, const char* text)
{
    return {false, kind, text};
}

}  // namespace

std::unique_ptr<HttpClient> makeCurlClient(const std::string& host)
{
    return std::make_unique<CurlHttpClient>(host);
}

std::string defaultResultsHost()
{
    return TOLVI_RESULTS_HOST;
}

std::string drawKey(std::int32_t draw)
{
    return toShiftJis("第" + std::to_string(draw) + "回");
}

RetrievalResult retrieveResults(std::int32_t draw, HttpClient& http, const std::string& host,
                                const std::filesystem::path& workDir, const RetrievalHooks& hooks)
{
    return retrieveResults(draw, http, host, workDir, hooks, RetrievalLimits {});
}

namespace {

RetrievalResult walkPages(std::int32_t draw, HttpClient& http, const std::string& host,
                          const std::filesystem::path& workDir, const RetrievalHooks& hooks,
                          const RetrievalLimits& limits)
{
    // Without a server there is nothing to connect to, and blaming the user's connection would
    // send them looking in the wrong place.
    if (host.empty())
        return message(MessageKind::Plain, kNoServerMessage);
    if (!http.canConnect())
        return message(MessageKind::Plain, kNoConnectionMessage);

    const std::string key = drawKey(draw);
    const PageMonth lastMonth = limits.lastMonth.value_or(PageMonth::current());
    const int fetchesPerAddress = std::max(1, limits.fetchesPerAddress);
    const std::filesystem::path pagePath = workDir / kResultsPageFileName;
    const auto deadline = std::chrono::steady_clock::now() + limits.whole;
    const std::function<void()> processEvents = [&hooks, deadline] {
        if (hooks.processEvents)
            hooks.processEvents();
        if (hooks.ending && hooks.ending())
            throw ProgramEnding();
        if (std::chrono::steady_clock::now() >= deadline)
            throw OutOfTime();
    };

    // Why the current address is being fetched again, for the message when it gives up.
    enum class Retry { None, NoReply, CutShort } retry = Retry::None;
    int fetches = 0;  // of the current address
    ResultsMonthWalk walk;
    auto moveOn = [&] {
        fetches = 0;
        retry = Retry::None;
    };

    while (true) {
        // The months after the current one have no results yet.
        if (walk.month() > lastMonth)
            return message(MessageKind::Information, kNotFoundMessage);
        if (fetches >= fetchesPerAddress)
            return message(MessageKind::Plain, retry == Retry::CutShort ? kCutShortMessage : kNoReplyMessage);
        ++fetches;

        const std::string address = walk.address(host);
        if (hooks.progress)
            hooks.progress("参照中 " + walk.month().calendarText() + " " +
                           std::to_string(ResultsMonthWalk().month().monthsTo(walk.month())) + "/" +
                           std::to_string(ResultsMonthWalk().month().monthsTo(lastMonth)));
        processEvents();
        std::size_t received = 0;
        try {
            PageFile file(pagePath);
            const bool opened = http.fetch(
                address,
                [&](std::string_view block) {
                    if (block.size() > limits.maxPageBytes - received)
                        throw PageTooLarge();
                    file.write(block);
                    received += block.size();
                    processEvents();
                },
                processEvents);
            if (opened)
                file.open();  // an empty page still empties the file
            file.close();
        } catch (const PageTooLarge&) {
            return message(MessageKind::Plain, kTooLargeMessage);
        }
        processEvents();
        if (received == 0) {
            retry = Retry::NoReply;
            continue;
        }

        std::string page;
        try {
            page = readPage(pagePath, limits.maxPageBytes);
        } catch (const PageTooLarge&) {
            return message(MessageKind::Plain, kTooLargeMessage);
        }
        if (page.empty()) {
            retry = Retry::NoReply;
            continue;
        }

        const ResultsPageParser parser(page);
        const std::optional<std::size_t> keyAt = parser.find(key);
        if (keyAt)
            fillFields(walk.kind(), parser.parse(walk.kind(), *keyAt), hooks);
        processEvents();

        if (keyAt) {
            if (walk.kind() == PageKind::Numbers4)
                return {true, MessageKind::None, {}};
            walk.toNumbers4();
            moveOn();
            continue;
        }
        if (!parser.isComplete()) {
            retry = Retry::CutShort;
            continue;
        }
        walk.toNextMonth();
        moveOn();
        if (received <= kShortPageBytes)
            return message(MessageKind::Information, kNotFoundMessage);
    }
}

}  // namespace

RetrievalResult retrieveResults(std::int32_t draw, HttpClient& http, const std::string& host,
                                const std::filesystem::path& workDir, const RetrievalHooks& hooks,
                                const RetrievalLimits& limits)
{
    try {
        return walkPages(draw, http, host, workDir, hooks, limits);
    } catch (const ProgramEnding&) {
        RetrievalResult result;
        result.stopped = true;
        return result;
    } catch (const OutOfTime&) {
        return message(MessageKind::Plain, kOutOfTimeMessage);
    }
}

}  // namespace tolvi
