// "インターネットから参照" from end to end: the walk over the monthly pages of a real HTTP server
// on 127.0.0.1, numbers.tmp, the fields handed to the panel and the message shown.

#include "base/Errors.h"
#include "entry/ResultEntry.h"
#include "entry/ResultRetrieval.h"
#include "support/LocalHttpServer.h"
#include "support/ResultsPages.h"
#include "support/TempDir.h"
#include "transport/CurlHttpClient.h"
#include "transport/ShiftJis.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <map>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace tolvi;
using tolvi::test::DrawResult;
using tolvi::test::emptyPage;
using tolvi::test::HttpReply;
using tolvi::test::LocalHttpServer;
using tolvi::test::numbers3Draw;
using tolvi::test::numbers4Draw;
using tolvi::test::PageStyle;
using tolvi::test::resultsPage;
using tolvi::test::TempDir;
using Ending = HttpReply::Ending;

namespace {

std::string pagePath(int kind, int year, int month)
{
    auto twoDigits = [](int n) { return std::string(n < 10 ? "0" : "") + std::to_string(n); };
    return "/numbers/num" + std::to_string(kind) + "-h" + twoDigits(year) + twoDigits(month) + ".html";
}

using Fields = std::map<std::string, std::string, std::less<>>;

const Fields kDraw1233 {{"Num3Edit", "402"},     {"Num3Edit1", "93400"},   {"Num3Edit2", "15500"},
                        {"Num3Edit3", "54400"},  {"Num3Edit4", "7700"},    {"Num3Edit5", "9300"},
                        {"Num4Edit", "0815"},    {"Num4Edit1", "1051700"}, {"Num4Edit2", "43800"},
                        {"Num4Edit3", "547800"}, {"Num4Edit4", "21900"}};

// One click against `server`, as the window makes it.
struct Click {
    LocalHttpServer& server;
    TempDir dir;
    Fields fields;
    std::vector<std::string> progress;
    int processEvents = 0;
    int endingAfter = -1;  // the program ends at this turn of the window (never when -1)
    RetrievalLimits limits;

    explicit Click(LocalHttpServer& s) : server(s) { limits.lastMonth = PageMonth {40, 12}; }

    RetrievalResult run(int draw)
    {
        CurlTimeouts timeouts;
        timeouts.connect = std::chrono::milliseconds(1000);
        timeouts.receive = std::chrono::milliseconds(300);
        CurlHttpClient http(server.host(), timeouts);
        return runWith(http, draw);
    }
    RetrievalResult runWith(HttpClient& http, int draw)
    {
        RetrievalHooks hooks;
        hooks.processEvents = [this] { ++processEvents; };
        hooks.ending = [this] { return endingAfter >= 0 && processEvents >= endingAfter; };
        hooks.setField = [this](EntryField field, const std::string& text) {
            fields[std::string(entryEditName(field))] = text;
        };
        hooks.progress = [this](const std::string& text) { progress.push_back(text); };
        return retrieveResults(draw, http, server.host(), dir.path(), hooks, limits);
    }
    std::string saved() const { return dir.read("numbers.tmp"); }
};

// Complete pages of two other draws for every month from fromYear/fromMonth to toYear/toMonth.
void serveOtherDraws(LocalHttpServer& server, int kind, int fromYear, int fromMonth, int toYear, int toMonth)
{
    int draw = 1000;
    for (int y = fromYear, m = fromMonth; y < toYear || (y == toYear && m <= toMonth);) {
        const std::vector<DrawResult> draws {kind == 3 ? numbers3Draw(++draw, "111") : numbers4Draw(++draw, "1111"),
                                             kind == 3 ? numbers3Draw(++draw, "222") : numbers4Draw(++draw, "2222")};
        server.serve(pagePath(kind, y, m), HttpReply::page(resultsPage(kind, "他の月", draws)));
        if (++m > 12) {
            ++y;
            m = 1;
        }
    }
}

std::vector<std::string> walk(std::initializer_list<std::tuple<int, int, int>> pages)
{
    std::vector<std::string> paths;
    for (const auto& [kind, year, month] : pages)
        paths.push_back(pagePath(kind, year, month));
    return paths;
}

}  // namespace

// ---- Finding the draw --------------------------------------------------------------------

TEST(ResultRetrieval, DrawOnTheFirstMonthIsFollowedByTheNumbers4PageOfTheSameMonth)
{
    LocalHttpServer server;
    const std::string page4 = resultsPage(4, "2005年7月", {numbers4Draw(1232, "9999"), numbers4Draw(1233, "0815")});
    server.serve(pagePath(3, 17, 7),
                 HttpReply::page(resultsPage(3, "2005年7月", {numbers3Draw(1232, "888"), numbers3Draw(1233, "402")})));
    server.serve(pagePath(4, 17, 7), HttpReply::page(page4));
    Click click(server);
    const RetrievalResult result = click.run(1233);
    EXPECT_TRUE(result.filled);
    EXPECT_EQ(result.kind, MessageKind::None);
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(click.fields, kDraw1233);
    EXPECT_EQ(server.paths(), walk({{3, 17, 7}, {4, 17, 7}}));
    // numbers.tmp is kept and holds the last page fetched.
    EXPECT_TRUE(click.saved() == page4);
    EXPECT_GT(click.processEvents, 0);
}

TEST(ResultRetrieval, LaterDrawIsFoundAcrossTheYearRollOver)
{
    LocalHttpServer server;
    serveOtherDraws(server, 3, 17, 7, 17, 12);
    server.serve(pagePath(3, 18, 1), HttpReply::page(resultsPage(3, "2006年1月", {numbers3Draw(1233, "402")})));
    server.serve(pagePath(4, 18, 1), HttpReply::page(resultsPage(4, "2006年1月", {numbers4Draw(1233, "0815")})));
    Click click(server);
    const RetrievalResult result = click.run(1233);
    EXPECT_TRUE(result.filled);
    EXPECT_EQ(click.fields, kDraw1233);
    EXPECT_EQ(
        server.paths(),
        walk({{3, 17, 7}, {3, 17, 8}, {3, 17, 9}, {3, 17, 10}, {3, 17, 11}, {3, 17, 12}, {3, 18, 1}, {4, 18, 1}}));
}

TEST(ResultRetrieval, Numbers4WalkGoesOnFromTheMonthOfTheNumbers3Page)
{
    LocalHttpServer server;
    serveOtherDraws(server, 3, 17, 7, 17, 7);
    server.serve(pagePath(3, 17, 8), HttpReply::page(resultsPage(3, "2005年8月", {numbers3Draw(1233, "402")})));
    // The Numbers4 page of August ends before the draw (it was the month's last); September has it.
    serveOtherDraws(server, 4, 17, 8, 17, 8);
    server.serve(pagePath(4, 17, 9), HttpReply::page(resultsPage(4, "2005年9月", {numbers4Draw(1233, "0815")})));
    Click click(server);
    EXPECT_TRUE(click.run(1233).filled);
    EXPECT_EQ(click.fields, kDraw1233);
    EXPECT_EQ(server.paths(), walk({{3, 17, 7}, {3, 17, 8}, {4, 17, 8}, {4, 17, 9}}));
}

TEST(ResultRetrieval, UpperCaseTagsAndOddAmountsAreTakenAsTheyParse)
{
    LocalHttpServer server;
    PageStyle upper;
    upper.upperCaseTags = true;
    server.serve(pagePath(3, 17, 7),
                 HttpReply::page(resultsPage(
                     3, "2005年7月",
                     {{1300, "2005年7月1日", "070", {"1,234,567円", "-円", "該当なし円", "12,345円", "0円"}}}, upper)));
    server.serve(
        pagePath(4, 17, 7),
        HttpReply::page(resultsPage(
            4, "2005年7月", {{1300, "2005年7月1日", "0070", {"2,000,000円", "50,000円", "-円", "7.5円"}}}, upper)));
    Click click(server);
    EXPECT_TRUE(click.run(1300).filled);
    const Fields expected {{"Num3Edit", "070"},  {"Num3Edit1", "1234567"}, {"Num3Edit2", "0"},
                           {"Num3Edit3", "0"},   {"Num3Edit4", "12345"},   {"Num3Edit5", "0"},
                           {"Num4Edit", "0070"}, {"Num4Edit1", "2000000"}, {"Num4Edit2", "50000"},
                           {"Num4Edit3", "0"},   {"Num4Edit4", "7.5"}};
    EXPECT_EQ(click.fields, expected);
}

TEST(ResultRetrieval, ThreeDigitDrawIsNotTakenForTheFourDigitDrawEndingInIt)
{
    LocalHttpServer server;
    // Draw 1999 comes first on the page; its key must not be taken for draw 999's.
    server.serve(pagePath(3, 17, 7),
                 HttpReply::page(resultsPage(
                     3, "2005年7月",
                     {{1999, "2005年7月1日", "111", {"1円", "1円", "1円", "1円", "1円"}}, numbers3Draw(999, "402")})));
    server.serve(pagePath(4, 17, 7), HttpReply::page(resultsPage(4, "2005年7月", {numbers4Draw(999, "0815")})));
    Click click(server);
    EXPECT_TRUE(click.run(999).filled);
    EXPECT_EQ(click.fields, kDraw1233);
}

TEST(ResultRetrieval, PageLongerThan25001BytesIsReadWhole)
{
    LocalHttpServer server;
    PageStyle longPage;
    longPage.leadingBytes = 40000;
    const std::string page3 = resultsPage(3, "2005年7月", {numbers3Draw(1233, "402")}, longPage);
    ASSERT_GT(page3.find(toShiftJis("第1233回")), 25001u);
    server.serve(pagePath(3, 17, 7), HttpReply::page(page3));
    server.serve(pagePath(4, 17, 7),
                 HttpReply::page(resultsPage(4, "2005年7月", {numbers4Draw(1233, "0815")}, longPage)));
    Click click(server);
    EXPECT_TRUE(click.run(1233).filled);
    EXPECT_EQ(click.fields, kDraw1233);
    EXPECT_EQ(server.paths(), walk({{3, 17, 7}, {4, 17, 7}}));
}

TEST(ResultRetrieval, PageIsReadWhateverTheHttpStatus)
{
    LocalHttpServer server;
    server.serve(pagePath(3, 17, 7), HttpReply::page(resultsPage(3, "2005年7月", {numbers3Draw(1233, "402")}), 500));
    server.serve(pagePath(4, 17, 7), HttpReply::page(resultsPage(4, "2005年7月", {numbers4Draw(1233, "0815")}), 404));
    Click click(server);
    EXPECT_TRUE(click.run(1233).filled);
    EXPECT_EQ(click.fields, kDraw1233);
}

// ---- Not found -----------------------------------------------------------------------------

TEST(ResultRetrieval, CompletePageOf250BytesEndsTheSearchAnd251BytesGoesOnToTheNextMonth)
{
    {
        LocalHttpServer server;
        const std::string page = emptyPage(250);
        server.serve(pagePath(3, 17, 7), HttpReply::page(page));
        Click click(server);
        const RetrievalResult result = click.run(1233);
        EXPECT_FALSE(result.filled);
        EXPECT_EQ(result.kind, MessageKind::Information);
        EXPECT_EQ(result.message, "結果データがすでに最新か\r\nもしくはデータが見つかりません。");
        EXPECT_EQ(server.paths(), walk({{3, 17, 7}}));
        EXPECT_TRUE(click.fields.empty());
        EXPECT_TRUE(click.saved() == page);
    }
    {
        LocalHttpServer server;
        server.serve(pagePath(3, 17, 7), HttpReply::page(emptyPage(251)));
        server.serve(pagePath(3, 17, 8), HttpReply::page(emptyPage(250)));
        Click click(server);
        const RetrievalResult result = click.run(1233);
        EXPECT_EQ(result.kind, MessageKind::Information);
        EXPECT_EQ(server.paths(), walk({{3, 17, 7}, {3, 17, 8}}));
    }
}

TEST(ResultRetrieval, Numbers4NotFoundKeepsTheNumbers3Fields)
{
    LocalHttpServer server;
    server.serve(pagePath(3, 17, 7), HttpReply::page(resultsPage(3, "2005年7月", {numbers3Draw(1233, "402")})));
    server.serve(pagePath(4, 17, 7), HttpReply::page(emptyPage(200)));
    Click click(server);
    const RetrievalResult result = click.run(1233);
    EXPECT_FALSE(result.filled);
    EXPECT_EQ(result.kind, MessageKind::Information);
    EXPECT_EQ(result.message, kNotFoundMessage);
    EXPECT_EQ(click.fields.size(), 6u);
    EXPECT_EQ(click.fields["Num3Edit"], "402");
    EXPECT_EQ(click.fields["Num3Edit5"], "9300");
}

TEST(ResultRetrieval, WalkStopsAfterTheCurrentMonth)
{
    LocalHttpServer server;
    serveOtherDraws(server, 3, 17, 7, 18, 12);
    Click click(server);
    click.limits.lastMonth = PageMonth {17, 9};
    const RetrievalResult result = click.run(1233);
    EXPECT_FALSE(result.filled);
    EXPECT_EQ(result.kind, MessageKind::Information);
    EXPECT_EQ(result.message, kNotFoundMessage);
    EXPECT_EQ(server.paths(), walk({{3, 17, 7}, {3, 17, 8}, {3, 17, 9}}));
}

TEST(ResultRetrieval, WalkBoundCanFallOnTheFirstMonthOfAYear)
{
    LocalHttpServer server;
    serveOtherDraws(server, 3, 17, 7, 18, 12);
    Click click(server);
    click.limits.lastMonth = PageMonth {18, 1};
    EXPECT_EQ(click.run(1233).kind, MessageKind::Information);
    EXPECT_EQ(server.paths().back(), pagePath(3, 18, 1));
    EXPECT_EQ(server.paths().size(), 7u);
}

// ---- A server that misbehaves --------------------------------------------------------------

TEST(ResultRetrieval, PageCutShortIsFetchedAgain)
{
    LocalHttpServer server;
    const std::string page3 = resultsPage(3, "2005年7月", {numbers3Draw(1200, "111"), numbers3Draw(1233, "402")});
    const std::size_t beforeKey = page3.find(toShiftJis("第1233回"));
    // First the connection breaks before the draw, then the server ends the page early, then all.
    server.serveInTurn(pagePath(3, 17, 7),
                       {HttpReply::endingEarly(page3, beforeKey, Ending::ResetEarly),
                        HttpReply {page3.substr(0, beforeKey), 200, Ending::NoLength, 0, {}}, HttpReply::page(page3)});
    server.serve(pagePath(4, 17, 7), HttpReply::page(resultsPage(4, "2005年7月", {numbers4Draw(1233, "0815")})));
    Click click(server);
    EXPECT_TRUE(click.run(1233).filled);
    EXPECT_EQ(click.fields, kDraw1233);
    EXPECT_EQ(server.paths(), walk({{3, 17, 7}, {3, 17, 7}, {3, 17, 7}, {4, 17, 7}}));
}

TEST(ResultRetrieval, PageCutShortThreeTimesEndsWithAMessage)
{
    LocalHttpServer server;
    const std::string page3 = resultsPage(3, "2005年7月", {numbers3Draw(1200, "111"), numbers3Draw(1233, "402")});
    server.serve(pagePath(3, 17, 7), HttpReply::endingEarly(page3, 600, Ending::CloseEarly));
    Click click(server);
    const RetrievalResult result = click.run(1233);
    EXPECT_FALSE(result.filled);
    EXPECT_EQ(result.kind, MessageKind::Plain);
    EXPECT_EQ(result.message, kCutShortMessage);
    EXPECT_EQ(server.paths(), walk({{3, 17, 7}, {3, 17, 7}, {3, 17, 7}}));
    EXPECT_TRUE(click.saved() == page3.substr(0, 600));
}

TEST(ResultRetrieval, ServerStallingMidPageIsGivenUpAfterThreeTries)
{
    LocalHttpServer server;
    const std::string page3 = resultsPage(3, "2005年7月", {numbers3Draw(1200, "111"), numbers3Draw(1233, "402")});
    const std::size_t beforeKey = page3.find(toShiftJis("第1233回"));
    server.serve(pagePath(3, 17, 7), HttpReply::endingEarly(page3, beforeKey, Ending::StallEarly));
    Click click(server);
    const RetrievalResult result = click.run(1233);
    EXPECT_EQ(result.kind, MessageKind::Plain);
    EXPECT_EQ(result.message, kCutShortMessage);
    EXPECT_EQ(server.paths(), walk({{3, 17, 7}, {3, 17, 7}, {3, 17, 7}}));
    EXPECT_TRUE(click.fields.empty());
}

TEST(ResultRetrieval, ServerThatNeverAnswersIsGivenUpAfterThreeTriesWithTheWindowKeptAlive)
{
    LocalHttpServer server;
    server.serve(pagePath(3, 17, 7), HttpReply::silent());
    Click click(server);
    const RetrievalResult result = click.run(1233);
    EXPECT_FALSE(result.filled);
    EXPECT_EQ(result.kind, MessageKind::Plain);
    EXPECT_EQ(result.message, kNoReplyMessage);
    EXPECT_EQ(server.paths(), walk({{3, 17, 7}, {3, 17, 7}, {3, 17, 7}}));
    EXPECT_TRUE(click.fields.empty());
    // Besides the two turns around each fetch, the window got turns while it waited.
    EXPECT_GT(click.processEvents, 3 * 2 + 3);
}

TEST(ResultRetrieval, ProgramEndingWhileTheServerIsSilentStopsAtTheNextTurn)
{
    LocalHttpServer server;
    server.serve(pagePath(3, 17, 7), HttpReply::silent());
    Click click(server);
    click.endingAfter = 5;
    const RetrievalResult result = click.run(1233);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.kind, MessageKind::None);
    EXPECT_EQ(click.processEvents, 5);
    EXPECT_EQ(server.paths(), walk({{3, 17, 7}}));
    EXPECT_TRUE(click.fields.empty());
}

TEST(ResultRetrieval, WholeWalkEndsAtItsTimeLimitAndShowsWhereItIs)
{
    LocalHttpServer server;
    serveOtherDraws(server, 3, 17, 7, 17, 12);
    server.serve(pagePath(3, 18, 1), HttpReply::silent());
    Click click(server);
    click.limits.lastMonth = PageMonth {18, 2};
    click.limits.whole = std::chrono::milliseconds(700);  // less than the three tries of the silent page
    const auto started = std::chrono::steady_clock::now();
    const RetrievalResult result = click.run(1233);
    EXPECT_EQ(result.message, kOutOfTimeMessage);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(700 + 500));
    ASSERT_FALSE(click.progress.empty());
    EXPECT_EQ(click.progress.front(), "参照中 2005年7月 1/8");
}

TEST(ResultRetrieval, EmptyReplyIsFetchedAgainAndThenGivenUp)
{
    LocalHttpServer server;
    server.serveInTurn(pagePath(3, 17, 7), {HttpReply::page(""),
                                            HttpReply::page(resultsPage(3, "2005年7月", {numbers3Draw(1233, "402")}))});
    server.serve(pagePath(4, 17, 7), HttpReply::page(""));
    Click click(server);
    const RetrievalResult result = click.run(1233);
    EXPECT_EQ(result.kind, MessageKind::Plain);
    EXPECT_EQ(result.message, kNoReplyMessage);
    EXPECT_EQ(server.paths(), walk({{3, 17, 7}, {3, 17, 7}, {4, 17, 7}, {4, 17, 7}, {4, 17, 7}}));
    EXPECT_EQ(click.fields.size(), 6u);
    // An empty page still empties the file.
    EXPECT_EQ(click.saved(), "");
}

TEST(ResultRetrieval, RefusedConnectionIsGivenUpAfterThreeTries)
{
    LocalHttpServer server;  // never asked: the click goes to a port where nothing listens
    Click click(server);
    const std::string host = "127.0.0.1:" + std::to_string(tolvi::test::closedLoopbackPort());
    CurlHttpClient http(host);
    RetrievalHooks hooks;
    const RetrievalResult result = retrieveResults(1233, http, host, click.dir.path(), hooks, click.limits);
    EXPECT_EQ(result.kind, MessageKind::Plain);
    EXPECT_EQ(result.message, kNoReplyMessage);
    EXPECT_FALSE(std::filesystem::exists(click.dir.file("numbers.tmp")));
}

TEST(ResultRetrieval, HostThatDoesNotResolveChangesNothing)
{
    LocalHttpServer server;
    Click click(server);
    CurlHttpClient http("no-such-host.invalid");
    const RetrievalResult result = click.runWith(http, 1233);
    EXPECT_FALSE(result.filled);
    EXPECT_EQ(result.kind, MessageKind::Plain);
    EXPECT_EQ(result.message, "エラー：インターネットに接続できません。");
    EXPECT_TRUE(click.fields.empty());
    EXPECT_TRUE(server.paths().empty());
    EXPECT_FALSE(std::filesystem::exists(click.dir.file("numbers.tmp")));
}

TEST(ResultRetrieval, BuildWithoutAServerSaysSoInsteadOfBlamingTheConnection)
{
    LocalHttpServer server;
    Click click(server);
    CurlHttpClient http(server.host());
    const RetrievalResult result = retrieveResults(1233, http, "", click.dir.path(), {});
    EXPECT_EQ(result.kind, MessageKind::Plain);
    EXPECT_EQ(result.message, kNoServerMessage);
    EXPECT_TRUE(server.paths().empty());
}

TEST(ResultRetrieval, PageLargerThanTheLimitIsRefusedWhileItArrives)
{
    LocalHttpServer server;
    PageStyle huge;
    huge.leadingBytes = (8 << 20) + 1000;
    const std::string page3 = resultsPage(3, "2005年7月", {numbers3Draw(1233, "402")}, huge);
    ASSERT_GT(page3.size(), std::size_t(8) << 20);
    server.serve(pagePath(3, 17, 7), HttpReply::page(page3));
    Click click(server);
    const RetrievalResult result = click.run(1233);
    EXPECT_FALSE(result.filled);
    EXPECT_EQ(result.kind, MessageKind::Plain);
    EXPECT_EQ(result.message, kTooLargeMessage);
    EXPECT_EQ(server.paths().size(), 1u);
    EXPECT_LE(std::filesystem::file_size(click.dir.file("numbers.tmp")), std::uintmax_t(8) << 20);
    EXPECT_TRUE(click.fields.empty());
}

TEST(ResultRetrieval, PageOfExactlyTheLimitIsAccepted)
{
    LocalHttpServer server;
    const std::string page3 = resultsPage(3, "2005年7月", {numbers3Draw(1233, "402")});
    const std::string page4 = resultsPage(4, "2005年7月", {numbers4Draw(1233, "0815")});
    server.serve(pagePath(3, 17, 7), HttpReply::page(page3));
    server.serve(pagePath(4, 17, 7), HttpReply::page(page4));
    Click click(server);
    click.limits.maxPageBytes = std::max(page3.size(), page4.size());
    EXPECT_TRUE(click.run(1233).filled);
    click.limits.maxPageBytes = page3.size() - 1;
    EXPECT_EQ(click.run(1233).message, kTooLargeMessage);
}

// ---- numbers.tmp ---------------------------------------------------------------------------

TEST(ResultRetrieval, NumbersTmpThatCannotBeCreatedRaisesAnIoError)
{
    LocalHttpServer server;
    server.serve(pagePath(3, 17, 7), HttpReply::page(resultsPage(3, "2005年7月", {numbers3Draw(1233, "402")})));
    {
        Click click(server);
        std::filesystem::create_directory(click.dir.file("numbers.tmp"));
        EXPECT_THROW(click.run(1233), IoError);
    }
    {
        Click click(server);
        RetrievalHooks hooks;
        CurlHttpClient http(server.host());
        EXPECT_THROW(retrieveResults(1233, http, server.host(), click.dir.file("missing"), hooks, click.limits),
                     IoError);
    }
}

TEST(ResultRetrieval, NumbersTmpIsReplacedByEachPage)
{
    LocalHttpServer server;
    serveOtherDraws(server, 3, 17, 7, 17, 7);
    const std::string last = emptyPage(120);
    server.serve(pagePath(3, 17, 8), HttpReply::page(last));
    Click click(server);
    click.dir.write("numbers.tmp", std::string(100000, 'x'));
    EXPECT_EQ(click.run(1233).kind, MessageKind::Information);
    EXPECT_TRUE(click.saved() == last);
}
