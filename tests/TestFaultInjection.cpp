// Faults from outside the programs, injected on purpose: a history file nobody may write, a full
// disk, another program appending, truncating or replacing the history file while a run reads it,
// and a results server that answers with garbage, resets the connection or sends far too much.
// Each case ends in a result or a message, with the history file as it was (or with exactly the
// one new record). What TestHistoryAppender, TestResultRetrieval and TestCurlHttpClient already
// inject (writes failing part-way, two appending processes, stalls, pages cut short) is not
// repeated here.

#include "base/Errors.h"
#include "engine/MiniEngine.h"
#include "engine/Numbers3Engine.h"
#include "entry/ResultEntry.h"
#include "entry/ResultRetrieval.h"
#include "history/DrawRecord.h"
#include "history/HistoryFile.h"
#include "history/HistoryReader.h"
#include "support/HistoryRecords.h"
#include "transport/CurlHttpClient.h"

#include "support/FaultInjection.h"
#include "support/HistoryBuilder.h"
#include "support/LocalHttpServer.h"
#include "support/RandomHistory.h"
#include "support/RecordingView.h"
#include "support/ResultsPages.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <sys/wait.h>
#include <typeinfo>

using namespace tolvi;
using namespace tolvi::test;
namespace fs = std::filesystem;

namespace {

// The window's two kinds of run, for both editions.
struct RunKind {
    const char* name;
    std::function<std::unique_ptr<PredictionEngine>()> engine;
    int tag;
};

const RunKind kRunKinds[] = {
    {"Numbers3 prediction", [] { return std::make_unique<Numbers3Engine>(); }, kPredictionTag},
    {"Numbers3 factor evaluation", [] { return std::make_unique<Numbers3Engine>(); }, kFactorEvaluationTag},
    {"Mini prediction", [] { return std::make_unique<MiniEngine>(); }, kPredictionTag},
    {"Mini factor evaluation", [] { return std::make_unique<MiniEngine>(); }, 5},
};

// How a run ended: the error it raised, if any, and everything it left shown.
struct Ending {
    std::optional<std::string> error;
    RecordingView view;
};

// Runs `kind` on `path`; an error the window shows is part of the ending, anything else fails.
Ending runOnce(const RunKind& kind, const fs::path& path, const std::function<void()>& midRun = {})
{
    Ending ending;
    RunRequest request;
    request.tag = kind.tag;
    request.historyPath = path;
    InterferingView view(
        ending.view, midRun ? midRun : [] {});
    try {
        kind.engine()->run(request, view);
    } catch (const IoError& e) {
        ending.error = e.what();
    } catch (const ConversionError& e) {
        ending.error = e.what();
    } catch (const RefusedError& e) {
        ending.error = e.what();
    }
    return ending;
}

void expectSameEnding(const Ending& a, const Ending& b)
{
    EXPECT_EQ(a.error, b.error);
    EXPECT_EQ(a.view.results, b.view.results);
    EXPECT_EQ(a.view.stats, b.view.stats);
    EXPECT_EQ(a.view.texts, b.view.texts);
    EXPECT_EQ(a.view.visible, b.view.visible);
}

std::string history(int records, std::uint32_t seed = 3)
{
    RandomHistoryOptions options;
    options.records = records;
    options.firstDraw = 2000;
    options.seed = seed;
    options.commentShare = 0;  // draw k is draw 2000 + k
    return randomHistory(options);
}

EntryFields validFields()
{
    EntryFields fields;
    fields.texts = {"012", "90000", "15000", "52500", "7500", "4000", "0345", "1000000", "41600", "520800", "20800"};
    return fields;
}

// The fields of validFields() stored as draw `draw`.
std::string validRecord(int draw)
{
    return std::to_string(draw) +
           ",012,0090000,0015000,0052500,0007500,0004000,0345,1000000,0041600,0520800,0020800\r\n";
}

}  // namespace

// ---- a history file nobody may write ------------------------------------------------------

TEST(FaultInjection, ImmutableHistoryFilePredictsAsAWritableOneButRefusesEveryWrite)
{
    TempDir dir;
    const std::string before = history(40);
    const fs::path path = dir.write("Numbers.dat", before);
    std::vector<Ending> writable;
    for (const RunKind& kind : kRunKinds)
        writable.push_back(runOnce(kind, path));
    ImmutableFile immutable(path);
    if (!immutable.isSet())
        GTEST_SKIP() << "cannot make a file immutable here";

    // The runs only read: a file nobody may write gives the very same window.
    for (std::size_t i = 0; i < std::size(kRunKinds); ++i) {
        SCOPED_TRACE(kRunKinds[i].name);
        const Ending ending = runOnce(kRunKinds[i], path);
        EXPECT_FALSE(ending.error.has_value());
        expectSameEnding(ending, writable[i]);
    }
    // Opening the entry panel and storing an entry need to write, and say so before anything is typed.
    EXPECT_THROW(HistoryReader::lastDrawNumber(path), IoError);
    EXPECT_THROW(appendEntry(path, validFields()), IoError);
    EXPECT_EQ(readFileBytes(path), before);

    // Once the file may be written again, the same entry is stored once.
    immutable.release();
    appendEntry(path, validFields());
    EXPECT_EQ(readFileBytes(path), before.substr(0, before.size() - 1) + validRecord(2040) + "\x1A");
}

// ---- a full disk -----------------------------------------------------------------------------

TEST(FaultInjection, NumbersTmpOnAFullDiskIsAnIoErrorAndTheHistoryStaysAsItWas)
{
    TempDir dir;
    const SmallTmpfs disk(dir.file("disk"), "size=64k,mode=0755");
    if (!disk.isMounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    const std::string before = history(20);
    const fs::path historyPath = disk.path() / "Numbers.dat";
    {
        std::ofstream(historyPath, std::ios::binary) << before;
    }
    ASSERT_TRUE(disk.fillUp());

    LocalHttpServer server;
    const std::string page = resultsPage(3, "2005年7月", {numbers3Draw(1233, "402")});
    server.serve("/numbers/num3-h1707.html", HttpReply::page(page));
    CurlHttpClient http(server.host());
    RetrievalLimits limits;
    limits.lastMonth = PageMonth {17, 12};
    std::string message;
    try {
        retrieveResults(1233, http, server.host(), disk.path(), {}, limits);
        ADD_FAILURE() << "the page was written to a full disk";
    } catch (const IoError& e) {
        message = e.what();
    }
    EXPECT_NE(message.find("空き容量"), std::string::npos) << message;
    EXPECT_NE(message.find("numbers.tmp"), std::string::npos) << message;
    EXPECT_EQ(readFileBytes(historyPath), before);

    // With room again the same click fills the Numbers3 fields (the server has no Numbers4 page).
    disk.makeRoom();
    int fields = 0;
    RetrievalHooks hooks;
    hooks.setField = [&](EntryField, const std::string&) { ++fields; };
    const RetrievalResult result = retrieveResults(1233, http, server.host(), disk.path(), hooks, limits);
    EXPECT_FALSE(result.filled);
    EXPECT_EQ(fields, 6);
    EXPECT_EQ(readFileBytes(historyPath), before);
}

// ---- another program at work on the history file --------------------------------------------

TEST(FaultInjection, FileTruncatedOrReplacedDuringARunEndsInAResultOrAMessageAndIsNotWritten)
{
    // Longer than one read of a run that streams the file, so that the rest is read afterwards.
    const std::string before = history(1500);
    const std::string other = HistoryBuilder().draw(77, "123", 90000, 15000, 4000).bytes();
    struct Interference {
        const char* name;
        std::function<void(const fs::path&)> act;
        std::optional<std::string> leaves;  // the file's bytes afterwards; nothing: no file
        bool sameEnding;                    // the run still reads the file it opened, unchanged
    };
    const Interference interferences[] = {
        {"truncated to nothing", [](const fs::path& p) { fs::resize_file(p, 0); }, std::string(), false},
        {"cut inside a record", [](const fs::path& p) { fs::resize_file(p, 87 * 10 + 40); },
         before.substr(0, 87 * 10 + 40), false},
        {"overwritten in place",
         [&](const fs::path& p) {
             std::ofstream out(p, std::ios::binary | std::ios::in);
             out.seekp(87 * 1000);
             out << "XXXX";
         },
         before.substr(0, 87 * 1000) + "XXXX" + before.substr(87 * 1000 + 4), false},
        {"replaced by another file",
         [&](const fs::path& p) {
             std::ofstream(p.string() + ".new", std::ios::binary) << other;
             fs::rename(p.string() + ".new", p);
         },
         other, true},
        {"deleted", [](const fs::path& p) { fs::remove(p); }, std::nullopt, true},
    };

    for (const RunKind& kind : kRunKinds) {
        TempDir dir;
        const fs::path path = dir.write("Numbers.dat", before);
        const Ending undisturbed = runOnce(kind, path);
        ASSERT_FALSE(undisturbed.error.has_value()) << *undisturbed.error;
        for (const Interference& interference : interferences) {
            SCOPED_TRACE(std::string(kind.name) + ", file " + interference.name);
            dir.write("Numbers.dat", before);
            const Ending disturbed = runOnce(kind, path, [&] { interference.act(path); });
            if (interference.sameEnding) {
                expectSameEnding(disturbed, undisturbed);
            } else if (disturbed.error) {
                EXPECT_FALSE(disturbed.error->empty());
            } else {
                EXPECT_TRUE(disturbed.view.commandsDisabled);
                EXPECT_TRUE(disturbed.view.isOpen("GetPanel"));
                EXPECT_NE(disturbed.view.text("Label16"), "<unset>");
            }
            // The run wrote nothing.
            if (interference.leaves)
                EXPECT_EQ(readFileBytes(path), *interference.leaves);
            else
                EXPECT_FALSE(fs::exists(path));
        }
    }
}

TEST(FaultInjection, EntryStoredDuringARunAddsOneRecordAndLeavesTheRunAsItWas)
{
    const std::string before = history(200, 9);  // read by a run before it shows anything
    for (const RunKind& kind : kRunKinds) {
        SCOPED_TRACE(kind.name);
        TempDir dir;
        const fs::path path = dir.write("Numbers.dat", before);
        const Ending undisturbed = runOnce(kind, path);
        // The other edition stores a draw while this one runs.
        const Ending disturbed = runOnce(kind, path, [&] { appendEntry(path, validFields()); });
        expectSameEnding(disturbed, undisturbed);
        EXPECT_EQ(readFileBytes(path), before.substr(0, before.size() - 1) + validRecord(2200) + "\x1A");
    }
}

TEST(FaultInjection, RunsWhileAnotherProcessAppendsSeeWholeRecordsOnly)
{
    TempDir dir;
    const fs::path path = dir.write("Numbers.dat", history(5));
    constexpr int kAppends = 250;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int status = 0;
        try {
            for (int i = 0; i < kAppends; ++i)
                appendEntry(path, validFields());
        } catch (...) {
            status = 1;
        }
        ::_exit(status);
    }

    // Every run sees some whole records at the front of the file, never a draw out of place:
    // the appender writes each record with one call behind the last complete one.
    int runs = 0, status = 0;
    bool appended = false;
    std::size_t seen = 0;
    for (; !appended || runs < 4; ++runs) {
        appended = appended || ::waitpid(child, &status, WNOHANG) == child;
        const RunKind& kind = kRunKinds[std::size_t(runs) % std::size(kRunKinds)];
        SCOPED_TRACE(std::string(kind.name) + ", run " + std::to_string(runs));
        const Ending ending = runOnce(kind, path);
        ASSERT_FALSE(ending.error.has_value()) << *ending.error;
        const std::string next = ending.view.text("Label16");
        ASSERT_NE(next, "<unset>");
        const std::vector<DrawRecord> records = test::readRecords(path);
        ASSERT_GE(records.size(), seen);
        seen = records.size();
        for (std::size_t k = 0; k < records.size(); ++k)
            ASSERT_EQ(records[k].drawNumber(), 2000 + int(k)) << "record " << k;
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const std::string after = readFileBytes(path);
    EXPECT_EQ(after.size(), (5 + kAppends) * kRecordSize + 1);
    EXPECT_EQ(std::count(after.begin(), after.end(), '\x1A'), 1);
}

TEST(FaultInjection, RunsWhileAnotherProcessTruncatesAndRestoresTheFileEndInAResultOrAMessage)
{
    TempDir dir;
    const std::string before = history(400, 21);
    const fs::path path = dir.write("Numbers.dat", before);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Cuts the file anywhere, garbles it, puts it back; over and over until stopped.
        std::mt19937 random(5);
        for (;;) {
            const int fd = ::open(path.c_str(), O_WRONLY);
            if (fd < 0)
                ::_exit(1);
            const std::size_t cut = random() % (before.size() + 1);
            if (::ftruncate(fd, off_t(cut)) != 0 || ::pwrite(fd, "\xFF;--", 4, off_t(random() % before.size())) < 0 ||
                ::pwrite(fd, before.data(), before.size(), 0) != ssize_t(before.size()))
                ::_exit(1);
            ::close(fd);
        }
    }

    int results = 0, messages = 0;
    for (int run = 0; run < 40; ++run) {
        const RunKind& kind = kRunKinds[std::size_t(run) % std::size(kRunKinds)];
        const Ending ending = runOnce(kind, path);
        if (ending.error) {
            ++messages;
            EXPECT_FALSE(ending.error->empty());
        } else {
            ++results;
            EXPECT_TRUE(ending.view.commandsDisabled);
        }
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(results + messages, 40);
}

// ---- a results server that misbehaves --------------------------------------------------------

namespace {

struct Click {
    TempDir dir;
    std::string history = HistoryBuilder().draw(1232, "123").endOfFile().bytes();
    RetrievalLimits limits;
    CurlTimeouts timeouts;
    int fields = 0;

    Click()
    {
        dir.write("Numbers.dat", history);
        limits.lastMonth = PageMonth {17, 12};
        timeouts.connect = std::chrono::milliseconds(1000);
        timeouts.receive = std::chrono::milliseconds(500);
    }
    RetrievalResult run(const std::string& host)
    {
        CurlHttpClient http(host, timeouts);
        RetrievalHooks hooks;
        hooks.setField = [this](EntryField, const std::string&) { ++fields; };
        return retrieveResults(1233, http, host, dir.path(), hooks, limits);
    }
};

}  // namespace

TEST(FaultInjection, ServerAnsweringWithBytesThatAreNoHttpIsGivenUpWithAMessage)
{
    RawTcpServer server(RawTcpServer::Behaviour::Garbage);
    ASSERT_TRUE(server.isListening());
    Click click;
    const RetrievalResult result = click.run(server.host());
    EXPECT_FALSE(result.filled);
    EXPECT_EQ(result.kind, MessageKind::Plain);
    EXPECT_EQ(result.message, kNoReplyMessage);
    EXPECT_EQ(server.connections(), 3);
    EXPECT_EQ(click.fields, 0);
    EXPECT_EQ(click.dir.read("Numbers.dat"), click.history);
}

TEST(FaultInjection, ServerResettingEveryConnectionAtOnceIsGivenUpWithAMessage)
{
    RawTcpServer server(RawTcpServer::Behaviour::ResetAtOnce);
    ASSERT_TRUE(server.isListening());
    Click click;
    const RetrievalResult result = click.run(server.host());
    EXPECT_EQ(result.kind, MessageKind::Plain);
    EXPECT_EQ(result.message, kNoReplyMessage);
    // Three fetches of the address, each with at most one more try of the connection.
    EXPECT_GE(server.connections(), 3);
    EXPECT_LE(server.connections(), 6);
    EXPECT_EQ(click.fields, 0);
    EXPECT_FALSE(fs::exists(click.dir.file("numbers.tmp")));
    EXPECT_EQ(click.dir.read("Numbers.dat"), click.history);
}

TEST(FaultInjection, ServerSendingATrickleIsCutOffByTheTimeForAWholePage)
{
    RawTcpServer server(RawTcpServer::Behaviour::Trickle);
    ASSERT_TRUE(server.isListening());
    Click click;
    // Each byte comes well within the receive time-out; only the bound on the whole page ends it.
    click.timeouts.receive = std::chrono::milliseconds(1000);
    click.timeouts.whole = std::chrono::milliseconds(1500);
    const RetrievalResult result = click.run(server.host());
    EXPECT_EQ(result.kind, MessageKind::Plain);
    EXPECT_EQ(result.message, kCutShortMessage);
    EXPECT_EQ(server.connections(), 3);
    EXPECT_EQ(click.fields, 0);
    EXPECT_EQ(click.dir.read("numbers.tmp").substr(0, 6), "<HTML>");
    EXPECT_EQ(click.dir.read("Numbers.dat"), click.history);
}

TEST(FaultInjection, PageOfRandomBytesIsFetchedAgainAndThenGivenUp)
{
    LocalHttpServer server;
    std::mt19937 random(11);
    std::string garbage(20000, '\0');
    for (char& c : garbage)
        c = char(random() % 256);
    server.serve("/numbers/num3-h1707.html", HttpReply::page(garbage));
    Click click;
    const RetrievalResult result = click.run(server.host());
    EXPECT_EQ(result.message, kCutShortMessage);
    EXPECT_EQ(server.count("/numbers/num3-h1707.html"), 3);
    EXPECT_EQ(click.fields, 0);
    EXPECT_EQ(click.dir.read("numbers.tmp"), garbage);
    EXPECT_EQ(click.dir.read("Numbers.dat"), click.history);
}

TEST(FaultInjection, TenMegabytePageWithoutALengthIsStoppedAtTheLimit)
{
    LocalHttpServer server;
    PageStyle huge;
    huge.leadingBytes = 10u << 20;
    const std::string page = resultsPage(3, "2005年7月", {numbers3Draw(1233, "402")}, huge);
    ASSERT_GT(page.size(), std::size_t(10) << 20);
    HttpReply reply = HttpReply::page(page);
    reply.ending = HttpReply::Ending::NoLength;
    server.serve("/numbers/num3-h1707.html", reply);
    Click click;
    const RetrievalResult result = click.run(server.host());
    EXPECT_EQ(result.message, kTooLargeMessage);
    EXPECT_EQ(server.count("/numbers/num3-h1707.html"), 1);
    EXPECT_LE(fs::file_size(click.dir.file("numbers.tmp")), click.limits.maxPageBytes);
    EXPECT_EQ(click.fields, 0);
    EXPECT_EQ(click.dir.read("Numbers.dat"), click.history);
}
