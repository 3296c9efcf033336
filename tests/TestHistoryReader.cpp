#include "base/Errors.h"
#include "history/DrawRecord.h"
#include "history/HistoryReader.h"
#include "support/HistoryBuilder.h"
#include "support/HistoryRecords.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace tolvi;
using tolvi::test::HistoryBuilder;
using tolvi::test::TempDir;

namespace {

std::vector<int> drawNumbersOf(const std::vector<DrawRecord>& records)
{
    std::vector<int> numbers;
    for (const DrawRecord& record : records)
        numbers.push_back(record.isComment() ? -1 : record.drawNumber());
    return numbers;
}

}  // namespace

TEST(DrawRecord, ReadsFieldsByFixedColumns)
{
    const DrawRecord record(tolvi::test::drawRecord({41, "007", 107100, 17800, 62400, 8900, 10700}));
    EXPECT_EQ(record.text().size(), 87u);
    EXPECT_EQ(record.drawNumber(), 41);
    EXPECT_EQ(record.winningNumber(), "007");
    EXPECT_EQ(record.prize(kStraightPrizeColumn), 107100);
    EXPECT_EQ(record.prize(kBoxPrizeColumn), 17800);
    EXPECT_EQ(record.prize(kMiniPrizeColumn), 10700);
    EXPECT_TRUE(record.hasResult());
    EXPECT_FALSE(record.isComment());
}

TEST(DrawRecord, NoResultAndCommentForms)
{
    EXPECT_FALSE(DrawRecord(tolvi::test::drawRecord({12, "---"})).hasResult());
    EXPECT_EQ(DrawRecord(tolvi::test::drawRecord({12, "---"})).drawNumber(), 12);
    EXPECT_TRUE(DrawRecord(tolvi::test::commentRecord("x")).isComment());
}

TEST(DrawRecord, TextEndsAtTheFirstNulByte)
{
    std::string block = tolvi::test::drawRecord({1234, "123"});
    block[6] = '\0';
    const DrawRecord record(block);
    EXPECT_EQ(record.text(), "1234,1");
    EXPECT_EQ(record.winningNumber(), "1");
    EXPECT_EQ(record.column(kMiniPrizeColumn, 7), "");
}

TEST(DrawRecord, NonNumericFieldsRaiseConversionErrors)
{
    std::string block = tolvi::test::drawRecord({1234, "123"});
    block[1] = 'x';
    EXPECT_THROW(DrawRecord(block).drawNumber(), ConversionError);
    block = tolvi::test::drawRecord({1234, "123"});
    block[12] = ' ';
    EXPECT_THROW(DrawRecord(block).prize(kStraightPrizeColumn), ConversionError);
}

TEST(HistoryReader, ReadsEveryFullRecordWithOrWithoutTheEndOfFileByte)
{
    TempDir dir;
    HistoryBuilder history;
    history.comment("head").draw(1, "123").draw(2, "---").comment("middle").draw(3, "999");
    const auto plain = dir.write("plain.dat", history.bytes());
    const auto withEof = dir.write("eof.dat", HistoryBuilder(history).endOfFile().bytes());
    EXPECT_EQ(drawNumbersOf(test::readRecords(plain)), (std::vector<int> {-1, 1, 2, -1, 3}));
    EXPECT_EQ(drawNumbersOf(test::readRecords(withEof)), (std::vector<int> {-1, 1, 2, -1, 3}));
}

TEST(HistoryReader, CutOffLastRecordIsIgnored)
{
    TempDir dir;
    HistoryBuilder history;
    history.draw(1, "123").draw(2, "456");
    const std::string cut = history.bytes() + tolvi::test::drawRecord({3, "789"}).substr(0, 50);
    EXPECT_EQ(drawNumbersOf(test::readRecords(dir.write("cut.dat", cut))), (std::vector<int> {1, 2}));
}

TEST(HistoryReader, EmptyFileHasNoRecords)
{
    TempDir dir;
    EXPECT_TRUE(test::readRecords(dir.write("empty.dat", "")).empty());
}

TEST(HistoryReader, MissingFileIsAnIoErrorNamingTheFile)
{
    TempDir dir;
    try {
        test::readRecords(dir.file("Numbers.dat"));
        FAIL() << "no error";
    } catch (const IoError& error) {
        EXPECT_NE(std::string(error.what()).find("Numbers.dat"), std::string::npos);
        EXPECT_NE(std::string(error.what()).find("見つかりません"), std::string::npos);
    }
}

TEST(HistoryReader, DirectoryIsNotAHistoryFile)
{
    TempDir dir;
    EXPECT_THROW(test::readRecords(dir.path()), IoError);
}

TEST(HistoryReader, LastDrawNumberIsTheSameWithOrWithoutEndOfFileByte)
{
    TempDir dir;
    HistoryBuilder history;
    history.draw(998, "123").draw(999, "456");
    EXPECT_EQ(HistoryReader::lastDrawNumber(dir.write("a.dat", history.bytes())), 999);
    EXPECT_EQ(HistoryReader::lastDrawNumber(dir.write("b.dat", HistoryBuilder(history).endOfFile().bytes())), 999);
}

TEST(HistoryReader, LastDrawNumberSkipsACutOffTail)
{
    TempDir dir;
    const std::string bytes = HistoryBuilder().draw(41, "123").bytes() + "0042,12";
    EXPECT_EQ(HistoryReader::lastDrawNumber(dir.write("cut.dat", bytes)), 41);
}

TEST(HistoryReader, LastDrawNumberFailures)
{
    TempDir dir;
    try {
        HistoryReader::lastDrawNumber(dir.write("empty.dat", ""));
        ADD_FAILURE() << "an empty history has a last draw";
    } catch (const IoError& e) {
        // Said in the user's terms, with the file's full path.
        EXPECT_NE(std::string(e.what()).find(dir.file("empty.dat").string() + " には回の結果が 1 件もない"),
                  std::string::npos);
    }
    EXPECT_THROW(HistoryReader::lastDrawNumber(dir.write("short.dat", "\x1A")), IoError);
    EXPECT_THROW(HistoryReader::lastDrawNumber(dir.file("missing.dat")), IoError);
    const std::string commentLast = HistoryBuilder().draw(5, "123").comment("last").bytes();
    EXPECT_THROW(HistoryReader::lastDrawNumber(dir.write("comment.dat", commentLast)), ConversionError);
}
