#include "fuzz/FuzzChecks.h"

#include "base/Errors.h"
#include "engine/MiniEngine.h"
#include "engine/Numbers3Engine.h"
#include "entry/EntryFields.h"
#include "entry/FilterNumText.h"
#include "entry/ResultEntry.h"
#include "entry/ResultRetrieval.h"
#include "entry/ResultsPageParser.h"
#include "history/DrawRecord.h"
#include "history/HistoryAppender.h"
#include "history/HistoryChecker.h"
#include "history/HistoryFile.h"
#include "history/HistoryReader.h"
#include "support/HistoryRecords.h"
#include "transport/ShiftJis.h"

#include "support/LiteralMiniEngine.h"
#include "support/LiteralNumbers3Engine.h"
#include "support/RecordingView.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <typeinfo>
#include <vector>

namespace tolvi::fuzz {

void require(bool condition, const std::string& what)
{
    if (!condition)
        throw CheckFailed(what);
}

void writeBytes(const fs::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    out.close();
    require(bool(out), "cannot write " + path.string());
}

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool isDigits(std::string_view text, std::size_t minLength, std::size_t maxLength)
{
    return text.size() >= minLength && text.size() <= maxLength &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// ---- the history file ---------------------------------------------------------------------

// Sequential read, last-record lookup, the checker and one append over `bytes` as Numbers.dat.
void checkHistoryFile(std::string_view bytes, const fs::path& dir)
{
    const fs::path path = dir / kHistoryFileName;
    writeBytes(path, bytes);
    const std::size_t whole = bytes.size() / kRecordSize;

    std::vector<DrawRecord> records;
    const Outcome read = shownFailure([&] { records = test::readRecords(path); });
    require(!read.failed(), "the sequential read failed on a readable file: " + read.errorText.value_or(""));
    require(records.size() == whole, "the sequential read did not return every full 87-byte block");
    for (std::size_t k = 0; k < whole; ++k) {
        const std::string_view block = bytes.substr(k * kRecordSize, kRecordSize);
        require(records[k].text() == block.substr(0, block.find('\0')), "a record's text is not its block's bytes");
    }

    std::optional<std::int32_t> last;
    const Outcome lookup = shownFailure([&] { last = HistoryReader::lastDrawNumber(path); });
    require(whole > 0 || lookup.failed(), "the last-record lookup found a record in a file without one");
    if (last)
        require(*last == records.back().drawNumber(), "the last-record lookup disagrees with the sequential read");

    const HistoryChecker::Report report = HistoryChecker::check(bytes);
    require(report.records == std::int64_t(whole), "the checker counts other records than the reader");

    HistoryAppender::Draw draw;
    draw.numbers3 = 7;
    draw.numbers3Prizes = {500, 0, 12345, 9999999, 1};
    draw.numbers4 = 12;
    draw.numbers4Prizes = {1, 22, 333, 4444};
    std::string text;
    const Outcome append = shownFailure([&] { text = HistoryAppender(path).append(draw); });
    const std::string after = readBytes(path);
    if (append.failed()) {
        require(after == bytes, "a refused append changed the file: " + *append.errorText);
        require(!report.problems.empty() || report.lastDraw >= kLastDrawNumber,
                "the checker found nothing wrong, yet the append failed: " + *append.errorText);
        return;
    }
    std::string_view base = bytes;
    if (!base.empty() && base.back() == kEndOfFileByte)
        base.remove_suffix(1);
    require(base.size() % kRecordSize == 0, "an append went after stray bytes");
    require(text.size() == 85, "the appended record's text is not 85 bytes");
    require(after == std::string(base) + text + "\r\n" + kEndOfFileByte,
            "the file is not its old records, the new record and one 0x1A byte");
    require(last.has_value() && DrawRecord(text).drawNumber() == *last + 1,
            "the new record's draw number is not the last one plus 1");
}

// ---- the prediction runs ------------------------------------------------------------------

// A view that shows only where a run ends, like the command-line tool's.
class EndStateView : public test::RecordingView {
public:
    bool showsProgress() const override { return false; }
};

Outcome runOn(PredictionEngine& engine, const RunRequest& request, test::RecordingView& view)
{
    return shownFailure([&] { engine.run(request, view); });
}

void requireSameEnd(const char* what, const test::RecordingView& a, const Outcome& aOutcome,
                    const test::RecordingView& b, const Outcome& bOutcome, bool compareOpened)
{
    const std::string prefix = std::string(what) + ": ";
    require(aOutcome == bOutcome, prefix + "different endings: '" + aOutcome.errorText.value_or("(none)") + "' and '" +
                                      bOutcome.errorText.value_or("(none)") + "'");
    require(a.results == b.results, prefix + "different result rows");
    require(a.stats == b.stats, prefix + "different statistics rows");
    require(a.texts == b.texts, prefix + "different captions");
    require(a.visible == b.visible, prefix + "different panels open");
    require(a.commandsDisabled == b.commandsDisabled, prefix + "commands left in a different state");
    if (compareOpened)
        require(a.opened == b.opened, prefix + "panels opened in a different order");
}

// Both editions' runs over `bytes` as Numbers.dat: each must end in a result or in an error the
// window shows, leave the file as it was, and end exactly like the plain step-by-step run,
// whether the view shows the run as it happens or only its end. A file in which the checker
// finds nothing wrong must not make a run fail.
void checkRuns(std::string_view bytes, const fs::path& dir)
{
    const fs::path path = dir / kHistoryFileName;
    writeBytes(path, bytes);
    const bool clean = HistoryChecker::check(bytes).problems.empty();

    RunRequest request;
    request.historyPath = path;
    request.mismatch = bytes.size() % 2 == 0;
    request.groupSeparator = bytes.size() % 3 == 0 ? "." : ",";

    auto compare = [&](const char* edition, PredictionEngine& engine, PredictionEngine& literalEngine, int tag,
                       bool compareOpened) {
        request.tag = tag;
        const std::string what = std::string(edition) + " tag " + std::to_string(tag);
        test::RecordingView literal, progress;
        EndStateView endOnly;
        const Outcome literalOutcome = runOn(literalEngine, request, literal);
        const Outcome progressOutcome = runOn(engine, request, progress);
        require(readBytes(path) == bytes, what + ": the run changed the history file");
        const Outcome endOutcome = runOn(engine, request, endOnly);
        require(readBytes(path) == bytes, what + ": the run changed the history file");
        requireSameEnd((what + ", view showing progress").c_str(), progress, progressOutcome, literal, literalOutcome,
                       compareOpened);
        requireSameEnd((what + ", view showing the end").c_str(), endOnly, endOutcome, literal, literalOutcome,
                       compareOpened);
        require(!clean || !progressOutcome.failed(),
                what + ": a file the checker passes made the run fail: " + progressOutcome.errorText.value_or(""));
        if (!progressOutcome.failed()) {
            require(progress.commandsDisabled, what + ": a finished run left the commands enabled");
            require(progress.isOpen("GetPanel"), what + ": a finished run did not open the payout panel");
        }
    };

    Numbers3Engine numbers3;
    test::LiteralNumbers3Engine literalNumbers3;
    compare("Numbers3", numbers3, literalNumbers3, kPredictionTag, true);
    compare("Numbers3", numbers3, literalNumbers3, kFactorEvaluationTag, true);

    MiniEngine mini;
    test::LiteralMiniEngine literalMini;
    compare("Mini", mini, literalMini, kPredictionTag, false);
    compare("Mini", mini, literalMini, 3, false);
}

// ---- the results pages --------------------------------------------------------------------

// A results server made of the fuzz input: every request gets the next reply, the last one
// again and again. It models what numbers.tmp must hold afterwards.
class ScriptedServer : public HttpClient {
public:
    struct Reply {
        std::string body;
        bool opened = true;     // false: the transfer fails after the body (or without one)
        std::size_t block = 0;  // bytes per block; 0: the whole body in one block
    };

    explicit ScriptedServer(std::vector<Reply> replies) : replies_(std::move(replies)) { }

    bool canConnect() override { return true; }

    bool fetch(const std::string& url, const std::function<void(std::string_view)>& onBlock,
               const std::function<void()>& idle) override
    {
        urls.push_back(url);
        const Reply& reply = replies_[std::min(served_++, replies_.size() - 1)];
        if (idle)
            idle();
        // numbers.tmp is created (emptied) by the first block written, or by a page that opened.
        std::string accepted;
        bool touched = false;
        std::string_view rest = reply.body;
        try {
            while (!rest.empty()) {
                const std::size_t size = reply.block == 0 ? rest.size() : std::min(reply.block, rest.size());
                onBlock(rest.substr(0, size));
                touched = true;
                accepted.append(rest.substr(0, size));
                rest.remove_prefix(size);
            }
        } catch (...) {
            if (touched)
                expectedPageFile = accepted;
            throw;
        }
        if (touched || reply.opened)
            expectedPageFile = accepted;
        return reply.opened;
    }

    std::vector<std::string> urls;
    std::optional<std::string> expectedPageFile;  // nothing: numbers.tmp was never created

private:
    std::vector<Reply> replies_;
    std::size_t served_ = 0;
};

// The input: a first line whose first digits are the draw (the panel's title will do), then
// replies separated by "\n==\n"; each reply's first byte says how it is served (bits 0-1: opened
// and whole, opened in blocks, failing after the body, failing before it; bits 2-7: the block
// size).
ScriptedServer::Reply replyFrom(std::string_view raw)
{
    ScriptedServer::Reply reply;
    if (raw.empty())
        return reply;
    const auto mode = static_cast<unsigned char>(raw.front());
    raw.remove_prefix(1);
    switch (mode & 3) {
    case 0: reply.body = std::string(raw); break;
    case 1:
        reply.body = std::string(raw);
        reply.block = std::size_t(mode >> 2) + 1;
        break;
    case 2:
        reply.body = std::string(raw);
        reply.opened = false;
        break;
    default: reply.opened = false; break;
    }
    return reply;
}

void requireParsed(const ParsedResults& parsed, PageKind kind)
{
    require(parsed.number.size() < ResultsPageParser::kWindowBytes, "the winning number is longer than its window");
    require(parsed.number.find("</b>") == std::string::npos, "the winning number runs past its </b>");
    require(parsed.prizes.size() == (kind == PageKind::Numbers3 ? 5u : 4u), "not one prize per prize field");
    for (const std::string& prize : parsed.prizes) {
        require(!prize.empty(), "an empty prize text");
        require(std::all_of(prize.begin(), prize.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; }),
                "a prize text with other bytes than digits and '.'");
    }
}

// The number the first digits of `line` spell (at most four of them), 1 when it has none.
std::int32_t drawOfLine(std::string_view line)
{
    const std::size_t from = std::min(line.find_first_of("0123456789"), line.size());
    std::int32_t draw = 0;
    for (std::size_t i = from; i < line.size() && i < from + 4 && line[i] >= '0' && line[i] <= '9'; ++i)
        draw = draw * 10 + (line[i] - '0');
    return draw > 0 ? draw : 1;
}

void checkResultsPage(std::string_view data, const fs::path& dir)
{
    const std::size_t titleEnd = std::min(data.find('\n'), data.size());
    const std::string title(data.substr(0, std::min<std::size_t>(titleEnd, 64)));
    std::string_view rest = data.substr(std::min(titleEnd + 1, data.size()));

    std::vector<ScriptedServer::Reply> replies;
    while (replies.size() < 16) {
        const std::size_t cut = rest.find("\n==\n");
        replies.push_back(replyFrom(rest.substr(0, cut)));
        if (cut == std::string_view::npos)
            break;
        rest.remove_prefix(cut + 4);
    }

    // The draw key of any draw is 第, digits and 回.
    const std::int32_t draw = drawOfLine(title);
    const std::string key = drawKey(draw);
    const std::string first = toShiftJis("第"), last = toShiftJis("回");
    require(key.size() > first.size() + last.size() && key.starts_with(first) && key.ends_with(last),
            "the draw key is not 第N回");

    // The parser alone, at the key and at a place chosen by the input.
    for (const ScriptedServer::Reply& reply : replies) {
        const ResultsPageParser parser(reply.body);
        for (const PageKind kind : {PageKind::Numbers3, PageKind::Numbers4}) {
            if (const std::optional<std::size_t> at = parser.find(key))
                requireParsed(parser.parse(kind, *at), kind);
            requireParsed(parser.parse(kind, title.size() * 37 % (reply.body.size() + 1)), kind);
        }
    }

    // One whole click.
    ScriptedServer server(replies);
    RetrievalLimits limits;
    limits.lastMonth = PageMonth {18, 2};  // eight months from 17/7
    limits.maxPageBytes = title.size() % 3 == 0 ? 300 : std::size_t(1) << 20;
    std::vector<std::pair<EntryField, std::string>> fields;
    RetrievalHooks hooks;
    int events = 0;
    hooks.processEvents = [&] { ++events; };
    hooks.setField = [&](EntryField field, const std::string& text) { fields.emplace_back(field, text); };
    fs::remove(dir / kResultsPageFileName);

    RetrievalResult result;
    const Outcome outcome =
        shownFailure([&] { result = retrieveResults(draw, server, "results.example:8080", dir, hooks, limits); });
    require(!outcome.failed(), "the retrieval failed with a writable numbers.tmp: " + outcome.errorText.value_or(""));

    require(server.urls.size() <= 16 * 3, "more fetches than 16 addresses tried three times each");
    for (const std::string& url : server.urls) {
        const std::string_view prefix = "http://results.example:8080/numbers/num";
        require(url.size() == prefix.size() + 12 && url.starts_with(prefix) &&
                    (url[prefix.size()] == '3' || url[prefix.size()] == '4') &&
                    url.substr(prefix.size() + 1, 2) == "-h" && isDigits(url.substr(prefix.size() + 3, 4), 4, 4) &&
                    url.ends_with(".html"),
                "a page address of another form: " + url);
    }
    require(events > 0, "the window was never given a chance to repaint");

    std::vector<std::string> setNames;
    for (const auto& [field, text] : fields) {
        require(std::size_t(field) < kEntryFieldCount, "a field that is not one of the panel's edits");
        const std::string_view edit = entryEditName(field);
        const bool isNumber = field == EntryField::Num3Edit || field == EntryField::Num4Edit;
        if (!isNumber)
            require(!text.empty() && std::all_of(text.begin(), text.end(),
                                                 [](char c) { return (c >= '0' && c <= '9') || c == '.'; }),
                    "a prize field filled with other bytes than digits and '.'");
        setNames.push_back(std::string(edit));
    }
    if (result.filled) {
        require(result.kind == MessageKind::None && result.message.empty(), "a filled panel with a message");
        for (const std::string_view name : kEntryEditNames)
            require(std::find(setNames.begin(), setNames.end(), name) != setNames.end(),
                    "the panel counts as filled but " + std::string(name) + " was never set");
    } else {
        const bool notFound = result.message == kNotFoundMessage;
        require(notFound || result.message == kNoReplyMessage || result.message == kCutShortMessage ||
                    result.message == kTooLargeMessage,
                "an ending without one of the retrieval's messages: " + result.message);
        require(result.kind == (notFound ? MessageKind::Information : MessageKind::Plain),
                "a message in the wrong box");
    }

    const fs::path page = dir / kResultsPageFileName;
    if (server.expectedPageFile)
        require(fs::exists(page) && readBytes(page) == *server.expectedPageFile,
                "numbers.tmp does not hold the bytes of the last page received");
    else
        require(!fs::exists(page), "numbers.tmp was created although no page was opened");
}

// ---- the entry panel ----------------------------------------------------------------------

bool isFilteredNumber(std::string_view text, std::string_view filtered)
{
    std::string expected;
    bool digit = false;
    for (const char c : text) {
        if (c == '.' || (c >= '0' && c <= '9'))
            expected += c;
        digit = digit || (c >= '0' && c <= '9');
    }
    return filtered == (digit ? expected : std::string("0"));
}

// The input: the eleven edit texts separated by LF (missing ones empty).
void checkEntry(std::string_view data, const fs::path& dir)
{
    EntryFields fields;
    std::string_view rest = data;
    for (std::size_t i = 0; i < kEntryFieldCount && !rest.empty(); ++i) {
        const std::size_t cut = rest.find('\n');
        fields[i] = std::string(rest.substr(0, cut));
        rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    }

    for (const std::string& text : fields.texts) {
        const bool other = std::any_of(text.begin(), text.end(), [](char c) { return c < '0' || c > '9'; });
        require(checkNumEditData(text) == other, "CheckNumEditData does not flag exactly the texts with a non-digit");
        require(isFilteredNumber(text, filterNumText(text)), "FilterNumText kept other bytes than digits and '.'");
    }

    // The checks the panel promises, in their order, on the bytes typed, full-width digits
    // taken as digits.
    std::array<std::string, kEntryFieldCount> plain;
    for (std::size_t i = 0; i < kEntryFieldCount; ++i)
        plain[i] = withAsciiDigits(fields[i]);
    const std::array<std::size_t, 9> prizeFields {1, 2, 3, 4, 5, 7, 8, 9, 10};
    std::optional<std::string> expected;
    if (!isDigits(plain[0], 3, 3))
        expected = kNumbers3Message;
    else if (!isDigits(plain[6], 4, 4))
        expected = kNumbers4Message;
    else if (std::any_of(prizeFields.begin(), prizeFields.end(),
                         [&](std::size_t i) { return !isDigits(plain[i], 1, 7); }))
        expected = kPrizeMessage;
    require(validateEntry(fields) == expected, "the entry's checks give another answer than the panel's rules");

    // A valid entry adds exactly one record holding the typed values; a refused one nothing.
    const std::string history =
        "1233,111,0090000,0015000,0052500,0007500,0004000,0345,1000000,0041600,0520800,0020800\r\n"
        "1234,222,0090000,0015000,0052500,0007500,0004000,0345,1000000,0041600,0520800,0020800\r\n\x1A";
    const fs::path path = dir / kHistoryFileName;
    writeBytes(path, history);
    std::string stored;
    const Outcome outcome = shownFailure([&] { stored = appendEntry(path, fields); });
    const std::string after = readBytes(path);
    if (expected) {
        require(outcome.errorType == "RefusedError" && outcome.errorText == *expected,
                "a refused entry did not raise its message");
        require(after == history, "a refused entry changed the history file");
    } else {
        require(!outcome.failed(), "a valid entry was not stored: " + outcome.errorText.value_or(""));
        std::string record = "1235," + plain[0];
        for (std::size_t i = 1; i < kEntryFieldCount; ++i) {
            const std::size_t width = i == 6 ? 4 : 7;
            record += "," + std::string(width - plain[i].size(), '0') + plain[i];
        }
        require(stored == record, "the stored record does not hold the typed values");
        require(after == history.substr(0, history.size() - 1) + record + "\r\n\x1A",
                "the file did not grow by exactly the one 87-byte record");
    }
}

}  // namespace tolvi::fuzz
