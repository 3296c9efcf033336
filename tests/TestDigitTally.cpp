#include "base/Errors.h"
#include "support/DigitTally.h"

#include <gtest/gtest.h>

using namespace tolvi;
using namespace tolvi::test;

TEST(RankTable, AllZeroTallyGivesTheIdentity)
{
    EXPECT_EQ(buildRankTable({}), (RankTable {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(RankTable, TieBreaksAndRepeatedDigits)
{
    // 3 at digits 1 and 2: digit 0 is missing, digit 2 appears twice.
    EXPECT_EQ(buildRankTable({0, 3, 3, 0, 0, 0, 0, 0, 0, 0}), (RankTable {1, 2, 2, 3, 4, 5, 6, 7, 8, 9}));
    // A tie that includes the rank's own digit gives that digit.
    const RankTable fiveAtZeroAndOne = buildRankTable({5, 5, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(fiveAtZeroAndOne[0], 0);
    EXPECT_EQ(fiveAtZeroAndOne[1], 1);
    EXPECT_EQ(buildRankTable({1, 5, 5, 0, 0, 0, 0, 0, 0, 0}), (RankTable {1, 2, 0, 3, 4, 5, 6, 7, 8, 9}));
    // Once every count is used up, rank r takes digit r again.
    EXPECT_EQ(buildRankTable({0, 0, 0, 4, 0, 0, 0, 0, 0, 0}), (RankTable {3, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(RankTable, OrdersByCountThenByTheTieRule)
{
    EXPECT_EQ(buildRankTable({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), (RankTable {9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
    // A tie without the rank's own digit gives the lowest tied digit.
    EXPECT_EQ(buildRankTable({0, 0, 0, 0, 0, 0, 0, 2, 2, 0})[0], 7);
}

TEST(DigitTally, CountsEachPositionSeparately)
{
    DigitTally tally;
    tally.add("123");
    tally.add("133");
    EXPECT_EQ(tally.position(0)[1], 2);
    EXPECT_EQ(tally.position(1)[2], 1);
    EXPECT_EQ(tally.position(1)[3], 1);
    EXPECT_EQ(tally.position(2)[3], 2);
    const auto tables = tally.rankTables();
    EXPECT_EQ(composeCandidate(tables, 0, 0, 0), 123);  // tens: 2 and 3 tie at rank 0, lowest wins
    tally.reset();
    EXPECT_EQ(composeCandidate(tally.rankTables(), 7, 5, 5), 755);
}

TEST(DigitTally, NonDigitIsAConversionError)
{
    DigitTally tally;
    EXPECT_THROW(tally.add("1a3"), ConversionError);
    EXPECT_THROW(tally.add("12"), ConversionError);
    EXPECT_THROW(tally.add(" 12"), ConversionError);
}
