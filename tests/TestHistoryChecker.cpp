#include "base/Errors.h"
#include "history/HistoryChecker.h"
#include "history/HistoryReader.h"
#include "support/HistoryRecords.h"

#include "support/HistoryBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

using Kind = tolvi::HistoryChecker::Kind;
using tolvi::HistoryChecker;
using tolvi::test::DrawSpec;
using tolvi::test::HistoryBuilder;
using tolvi::test::TempDir;

namespace {

constexpr std::int64_t R = 87;

// A draw record with `bytes` put over it from `column` (counted from 1).
std::string drawWith(int draw, int column, const std::string& bytes)
{
    std::string record = tolvi::test::drawRecord({draw, "123", 100, 200, 300, 400, 500});
    record.replace(std::size_t(column - 1), bytes.size(), bytes);
    return record;
}

std::string draws(int first, int last)
{
    HistoryBuilder builder;
    for (int draw = first; draw <= last; ++draw)
        builder.draw(draw, "123", 90000, 15000, 4000);
    return builder.bytes();
}

struct Found {
    Kind kind;
    std::int64_t record;
    std::int64_t offset;
    bool operator==(const Found&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Found& f)
{
    return out << "{kind " << int(f.kind) << ", record " << f.record << ", offset " << f.offset << "}";
}

std::vector<Found> found(const std::string& content)
{
    std::vector<Found> out;
    for (const HistoryChecker::Problem& problem : HistoryChecker::check(content).problems) {
        out.push_back({problem.kind, problem.record, problem.offset});
        EXPECT_EQ(problem.message.find('\n'), std::string::npos) << problem.message;
    }
    return out;
}

bool contains(const std::vector<Found>& all, const Found& one)
{
    return std::find(all.begin(), all.end(), one) != all.end();
}

}  // namespace

// ---- clean files --------------------------------------------------------------------------

TEST(HistoryChecker, WellFormedFilesHaveNoProblems)
{
    const std::string body = HistoryBuilder()
                                 .comment("first draws")
                                 .draw(1, "123")
                                 .draw(2, "---", 0, 0, 0)
                                 .comment()
                                 .draw(3, "000", 9999999, 0, 1)
                                 .bytes();
    for (const std::string& content : {body, body + "\x1A"}) {
        const HistoryChecker::Report report = HistoryChecker::check(content);
        EXPECT_TRUE(report.problems.empty()) << report.problems.front().message;
        EXPECT_EQ(report.records, 5);
        EXPECT_EQ(report.comments, 2);
        EXPECT_EQ(report.lastDraw, 3);
    }
}

TEST(HistoryChecker, DeliveredHistoryFileIsClean)
{
    const std::string content =
        tolvi::test::readFileBytes(std::filesystem::path(TOLVI_SOURCE_DIR) / "data/Numbers.dat");
    const HistoryChecker::Report report = HistoryChecker::check(content);
    for (const HistoryChecker::Problem& problem : report.problems)
        ADD_FAILURE() << problem.message;
    EXPECT_EQ(report.records, std::int64_t(tolvi::test::splitRecords(content).size()));
}

// A file wrong as a whole is explained once, with its fix, above the problems of every record.
TEST(HistoryChecker, SystematicFaultsAreNamedWithTheirFix)
{
    std::string lineFeedsOnly = draws(1, 30);
    for (std::size_t at; (at = lineFeedsOnly.find('\r')) != std::string::npos;)
        lineFeedsOnly.erase(at, 1);
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {draws(1, 30), {}},
        {draws(1, 2) + tolvi::test::drawRecord({3, "1x3"}), {}},
        {lineFeedsOnly, {"LF だけ", "CR LF にします"}},
        {"draw_no,winning_number,straight_payout\n1,191,119800\n2,988,333500\n",
         {"CSV ファイルのよう", "tolvi import"}},
        {"some notes\nwritten by hand\n", {"テキストファイルのよう"}},
        {draws(1, 30) + draws(31, 31).substr(0, 40), {"途中で切れて", "truncate -s 2610"}},
    };
    for (const auto& [content, words] : cases) {
        const HistoryChecker::Report report = HistoryChecker::check(content);
        ASSERT_EQ(report.causes.size(), words.empty() ? 0u : 1u) << content.substr(0, 40);
        for (const std::string& word : words)
            EXPECT_NE(report.causes[0].find(word), std::string::npos) << report.causes[0];
    }
}

// ---- the file's length and end marker -----------------------------------------------------

TEST(HistoryChecker, FileWithoutAFullRecordCannotBeAppendedTo)
{
    for (const std::string& content : {std::string(), std::string("\x1A"), draws(1, 1).substr(0, 40)})
        EXPECT_TRUE(contains(found(content), {Kind::NoRecords, 0, 0})) << content.size();
}

TEST(HistoryChecker, StrayByteAndCutOffTailAreFoundWhereTheyStart)
{
    EXPECT_EQ(found(draws(1, 2) + "X"), (std::vector<Found> {{Kind::StrayBytes, 3, 2 * R}}));
    EXPECT_EQ(found(draws(1, 2) + "\r\n"), (std::vector<Found> {{Kind::CutOffTail, 3, 2 * R}}));
    EXPECT_EQ(found(draws(1, 3) + draws(4, 4).substr(0, 50)), (std::vector<Found> {{Kind::CutOffTail, 4, 3 * R}}));
}

TEST(HistoryChecker, EndMarkerAnywhereButTheLastByteIsAProblem)
{
    // Two markers at the end: the first is out of place, and the length is off by one.
    const std::vector<Found> twoAtEnd = found(draws(1, 2) + "\x1A\x1A");
    EXPECT_TRUE(contains(twoAtEnd, {Kind::MisplacedEndMarker, 3, 2 * R}));
    EXPECT_TRUE(contains(twoAtEnd, {Kind::CutOffTail, 3, 2 * R}));

    // A marker between records: bytes follow it.
    const std::vector<Found> between = found(draws(1, 2) + "\x1A" + draws(3, 3));
    EXPECT_TRUE(contains(between, {Kind::MisplacedEndMarker, 3, 2 * R}));

    // A marker inside a record.
    const std::string inside = draws(1, 1) + drawWith(2, 12, "\x1A") + draws(3, 3);
    const std::vector<Found> insideFound = found(inside);
    EXPECT_TRUE(contains(insideFound, {Kind::MisplacedEndMarker, 2, R + 11}));
    EXPECT_TRUE(contains(insideFound, {Kind::BadPrize, 2, R}));
}

TEST(HistoryChecker, LastRecordEndingInTheMarkerInsteadOfLineFeedIsFound)
{
    std::string content = draws(1, 2);
    content.back() = '\x1A';
    EXPECT_EQ(found(content), (std::vector<Found> {{Kind::BadLineEnd, 2, R}}));
}

// ---- fields of a draw record --------------------------------------------------------------

TEST(HistoryChecker, EachBrokenFieldIsReportedWithItsRecord)
{
    struct Case {
        int column;
        std::string bytes;
        Kind kind;
    };
    const Case cases[] = {
        {1, "00a2", Kind::BadDrawNumber},   {1, " 002", Kind::BadDrawNumber},   {6, "1-3", Kind::BadWinningNumber},
        {6, "--1", Kind::BadWinningNumber}, {6, "12 ", Kind::BadWinningNumber}, {10, "00001,0", Kind::BadPrize},
        {42, "      5", Kind::BadPrize},    {79, "000000x", Kind::BadPrize},    {50, "12a4", Kind::BadNumbers4Number},
        {9, ";", Kind::BadSeparator},       {78, "0", Kind::BadSeparator},      {86, "\n\r", Kind::BadLineEnd},
    };
    for (const Case& c : cases) {
        const std::string content = draws(1, 1) + drawWith(2, c.column, c.bytes) + draws(3, 3);
        EXPECT_EQ(found(content), (std::vector<Found> {{c.kind, 2, R}}))
            << "column " << c.column << " '" << c.bytes << "'";
    }
}

TEST(HistoryChecker, CommentRecordsAreFreeTextAndSkippedByTheDrawSequence)
{
    std::string comment = tolvi::test::commentRecord("x");
    comment.replace(40, 5, "\r\n\t,;");
    EXPECT_TRUE(found(draws(1, 1) + comment + draws(2, 2)).empty());
}

TEST(HistoryChecker, DrawNumbersThatDoNotRiseByOneAreFound)
{
    EXPECT_EQ(found(draws(1, 2) + draws(4, 5)), (std::vector<Found> {{Kind::DrawNotRising, 3, 2 * R}}));
    EXPECT_EQ(found(draws(5, 5) + draws(5, 5)), (std::vector<Found> {{Kind::DrawNotRising, 2, R}}));
    EXPECT_EQ(found(draws(5, 5) + draws(3, 3)), (std::vector<Found> {{Kind::DrawNotRising, 2, R}}));
    // A broken draw number is reported once; its neighbours are not compared across it.
    EXPECT_EQ(found(draws(1, 1) + drawWith(2, 1, "xxxx") + draws(3, 3)),
              (std::vector<Found> {{Kind::BadDrawNumber, 2, R}}));
}

// ---- what stops an append -----------------------------------------------------------------

TEST(HistoryChecker, LastRecordThatIsACommentIsFound)
{
    for (const std::string& end : {std::string(), std::string("\x1A")}) {
        const std::string content = draws(1, 2) + tolvi::test::commentRecord() + end;
        EXPECT_EQ(found(content), (std::vector<Found> {{Kind::LastIsComment, 3, 2 * R}}));
        EXPECT_EQ(HistoryChecker::check(content).lastDraw, -1);
    }
}

TEST(HistoryChecker, LastDrawNumber9999LeavesNoRoomForTheNext)
{
    EXPECT_EQ(found(draws(9998, 9999)), (std::vector<Found> {{Kind::NoNextDrawNumber, 2, R}}));
    EXPECT_TRUE(found(draws(9997, 9998)).empty());
}

TEST(HistoryChecker, MessagesNameRecordAndOffset)
{
    const HistoryChecker::Report report = HistoryChecker::check(draws(1, 3) + drawWith(4, 6, "1x3"));
    ASSERT_EQ(report.problems.size(), 1u);
    const std::string& message = report.problems[0].message;
    EXPECT_NE(message.find("レコード 4"), std::string::npos) << message;
    EXPECT_NE(message.find("261"), std::string::npos) << message;
    EXPECT_NE(message.find("1x3"), std::string::npos) << message;
}

// ---- files --------------------------------------------------------------------------------

TEST(HistoryChecker, MissingFileCannotBeChecked)
{
    TempDir dir;
    EXPECT_THROW(HistoryChecker::checkFile(dir.file("Numbers.dat")), tolvi::IoError);
    EXPECT_THROW(HistoryChecker::checkFile(dir.path()), tolvi::IoError);
}

TEST(HistoryChecker, FileThatCannotBeOpenedForWritingIsReportedAndStillChecked)
{
    TempDir dir;
    const auto path = dir.write("Numbers.dat", draws(1, 2) + "X");
    const int fd = ::open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    int flags = 0;
    const bool set = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                     (flags |= FS_IMMUTABLE_FL, ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
    if (!set) {
        ::close(fd);
        GTEST_SKIP() << "cannot make a file immutable here";
    }
    const HistoryChecker::Report report = HistoryChecker::checkFile(path);
    flags &= ~FS_IMMUTABLE_FL;
    ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    ::close(fd);

    ASSERT_EQ(report.problems.size(), 2u);
    EXPECT_EQ(report.problems[0].kind, Kind::CannotOpen);
    EXPECT_EQ(report.problems[1].kind, Kind::StrayBytes);
}
