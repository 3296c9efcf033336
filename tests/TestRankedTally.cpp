// The rank-ordered tally against the rank selection rule applied to the same counts, after
// every single draw: uniform, skewed and few-digit draws, restarts, and the long runs of ties
// that equal counts make.

#include "engine/RankedTally.h"
#include "support/DigitTally.h"

#include <gtest/gtest.h>

#include <random>

using namespace tolvi;
using namespace tolvi::test;

namespace {

// Adds `draws` digits from `pick`, comparing the table with the rule after each one.
template <typename Pick> void expectRuleAfterEveryDraw(RankedTally& tally, int draws, Pick pick)
{
    for (int i = 0; i < draws; ++i) {
        const int digit = pick();
        tally.add(digit);
        ASSERT_EQ(tally.rankTable(), buildRankTable(tally.counts())) << "draw " << i << " digit " << digit;
    }
}

}  // namespace

TEST(RankedTally, StartsAsTheIdentityTable)
{
    RankedTally tally;
    EXPECT_EQ(tally.rankTable(), buildRankTable({}));
    tally.add(3);
    tally.reset();
    EXPECT_EQ(tally.counts(), DigitCounts {});
    EXPECT_EQ(tally.rankTable(), buildRankTable({}));
}

TEST(RankedTally, FollowsTheRuleOnUniformDraws)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> digit(0, 9);
    RankedTally tally;
    expectRuleAfterEveryDraw(tally, 20000, [&] { return digit(random); });
}

TEST(RankedTally, FollowsTheRuleOnSkewedAndFewDigitDraws)
{
    std::mt19937 random(8);
    for (const std::vector<double>& weights :
         {std::vector<double> {1, 1, 1, 1, 1, 1, 1, 1, 1, 30}, std::vector<double> {5, 0, 0, 5, 0, 0, 0, 0, 0, 1},
          std::vector<double> {0, 0, 0, 0, 0, 0, 0, 1, 0, 0}, std::vector<double> {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}) {
        std::discrete_distribution<int> digit(weights.begin(), weights.end());
        RankedTally tally;
        expectRuleAfterEveryDraw(tally, 3000, [&] { return digit(random); });
    }
}

TEST(RankedTally, FollowsTheRuleThroughTiesAndRestarts)
{
    RankedTally tally;
    // Round robin keeps every count tied or one apart, in every order of the digits.
    for (const int start : {0, 9, 4}) {
        int next = start;
        expectRuleAfterEveryDraw(tally, 100, [&] { return (next += 7) % 10; });
        int down = 10;
        expectRuleAfterEveryDraw(tally, 40, [&] { return down = (down + 9) % 10; });
        tally.reset();
        ASSERT_EQ(tally.rankTable(), buildRankTable({}));
    }
    std::mt19937 random(9);
    std::uniform_int_distribution<int> digit(0, 9), length(0, 40);
    for (int restart = 0; restart < 200; ++restart) {
        expectRuleAfterEveryDraw(tally, length(random), [&] { return digit(random); });
        tally.reset();
    }
}
