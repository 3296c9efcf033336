// The Mini engine's precomputed history: its rank tables must be those of the shared rank
// selection rule at every draw, ties and repeated digits included, and its record fields and
// errors those of the draw records themselves.

#include "base/Errors.h"
#include "engine/MiniHistory.h"
#include "history/HistoryReader.h"
#include "support/DigitTally.h"
#include "support/HistoryBuilder.h"
#include "support/HistoryRecords.h"

#include <gtest/gtest.h>

#include <random>

using namespace tolvi;
using namespace tolvi::test;

namespace {

MiniHistory historyOf(const HistoryBuilder& builder)
{
    return MiniHistory(builder.bytes());
}

void expectTablesOfTheRule(const MiniHistory& history, std::size_t draw, const DigitTally& tally)
{
    for (int position = 0; position < 3; ++position) {
        const RankTable expected = buildRankTable(tally.position(position));
        for (int rank = 0; rank < 10; ++rank)
            ASSERT_EQ(history.rankDigit(draw, position, rank), expected[std::size_t(rank)])
                << "draw " << draw << " position " << position << " rank " << rank;
    }
}

}  // namespace

TEST(MiniEngineHistory, RankTablesFollowTheRankSelectionRuleBeforeEveryDraw)
{
    // Few distinct digits make ties and repeated table entries the rule, not the exception.
    const std::vector<std::vector<int>> digitSets {
        {3}, {3, 7}, {0, 1, 2}, {9, 0, 5, 4}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}};
    std::mt19937 random(5);
    for (const auto& digits : digitSets) {
        for (const int length : {1, 5, 30, 400}) {
            HistoryBuilder builder;
            std::vector<std::string> winnings;
            for (int i = 0; i < length; ++i) {
                if (random() % 10 == 0)
                    builder.comment();
                std::string winning = "---";
                if (random() % 12 != 0) {
                    winning.clear();
                    for (int p = 0; p < 3; ++p)
                        winning += char('0' + digits[random() % digits.size()]);
                }
                builder.draw(i + 1, winning);
                winnings.push_back(winning);
            }
            const MiniHistory history = historyOf(builder);
            ASSERT_EQ(history.drawCount(), winnings.size());
            DigitTally tally;
            for (std::size_t draw = 0; draw < winnings.size(); ++draw) {
                expectTablesOfTheRule(history, draw, tally);
                if (winnings[draw] != "---")
                    tally.add(winnings[draw]);
            }
            expectTablesOfTheRule(history, winnings.size(), tally);
        }
    }
}

TEST(MiniEngineHistory, KeepsTheFieldsOfDrawRecordsAndSkipsCommentRecords)
{
    std::string oddPrize = drawRecord({12, "407", 0, 0, 0, 0, 0});
    oddPrize.replace(41, 7, "  -1234");  // blank-padded and signed: still an integer
    std::string badPrize = drawRecord({13, "581", 0, 0, 0, 0, 0});
    badPrize.replace(41, 7, "12x4567");
    const MiniHistory history = historyOf(HistoryBuilder()
                                              .comment()
                                              .draw(10, "093", 0, 0, 5600)
                                              .draw(11, "---", 0, 0, 7)
                                              .comment()
                                              .raw(oddPrize)
                                              .raw(badPrize)
                                              .endOfFile());
    ASSERT_EQ(history.drawCount(), 4u);
    EXPECT_FALSE(history.stopsWithError());
    EXPECT_EQ(history.drawNumber(0), 10);
    EXPECT_EQ(history.drawNumber(3), 13);
    EXPECT_EQ(history.record(2).winningNumber(), "407");
    EXPECT_EQ(history.winningTens()[0], 9);
    EXPECT_EQ(history.winningUnits()[0], 3);
    EXPECT_EQ(history.winningTens()[1], MiniHistory::kNoDigit);
    EXPECT_EQ(history.winningUnits()[1], MiniHistory::kNoDigit);
    EXPECT_EQ(history.miniPrizes()[0], 5600);
    EXPECT_EQ(history.miniPrizes()[1], 7);
    EXPECT_EQ(history.miniPrizes()[2], -1234);
    EXPECT_EQ(history.miniPrizeBroken()[2], 0);
    EXPECT_EQ(history.miniPrizeBroken()[3], 1);
    EXPECT_TRUE(history.anyMiniPrizeBroken());
    // The error is the one reading the field raises.
    std::string direct;
    try {
        DrawRecord(badPrize).prize(kMiniPrizeColumn);
    } catch (const ConversionError& e) {
        direct = e.what();
    }
    ASSERT_FALSE(direct.empty());
    try {
        history.throwPrizeError(3);
        FAIL() << "no error";
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.what(), direct);
    }
}

TEST(MiniEngineHistory, DrawListStopsAtARecordThatDoesNotConvert)
{
    for (const auto& [first, bad] : {std::pair<std::size_t, std::string> {0, "0x03"}, {5, "4a4"}, {5, "-- "}}) {
        std::string record = drawRecord({3, "444"});
        record.replace(first, bad.size(), bad);
        const MiniHistory history =
            historyOf(HistoryBuilder().draw(1, "123").draw(2, "456").raw(record).draw(4, "789"));
        EXPECT_EQ(history.drawCount(), 2u) << bad;
        ASSERT_TRUE(history.stopsWithError()) << bad;
        EXPECT_THROW(history.throwStopError(), ConversionError) << bad;
        // The tables after the two listed draws are still there for the draw that failed.
        DigitTally tally;
        tally.add("123");
        tally.add("456");
        expectTablesOfTheRule(history, 2, tally);
    }
}
