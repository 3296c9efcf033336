#include "engine/Numbers3Scoring.h"

#include <gtest/gtest.h>

using namespace tolvi;

namespace {
std::string resultFor(const std::string& candidate, const std::string& winning, bool mismatch = true)
{
    return numbers3ResultText(candidate, scoreNumbers3(candidate, winning, mismatch));
}
}  // namespace

TEST(Numbers3Scoring, StraightIsAlsoBoxAndMini)
{
    const CandidateScore score = scoreNumbers3("123", "123", true);
    EXPECT_TRUE(score.straight);
    EXPECT_TRUE(score.box);
    EXPECT_TRUE(score.mini);
    EXPECT_EQ(resultFor("123", "123"), "123◎○▲");
}

TEST(Numbers3Scoring, BoxMatchesAnyOrderingWithRepetition)
{
    EXPECT_EQ(resultFor("321", "123"), "321　○　");
    EXPECT_EQ(resultFor("112", "121"), "112　○　");
    EXPECT_EQ(resultFor("100", "010"), "100　○　");
    EXPECT_FALSE(scoreNumbers3("112", "122", false).box);
}

TEST(Numbers3Scoring, MiniIsTheLastTwoDigitsInOrder)
{
    EXPECT_EQ(resultFor("923", "123"), "923　　▲");
    EXPECT_FALSE(scoreNumbers3("932", "123", false).mini);
}

TEST(Numbers3Scoring, OneDigitOffNeedsTwoDigitsInCommonCountedWithRepetition)
{
    for (const char* near : {"124", "214", "112"})
        EXPECT_EQ(resultFor(near, "123"), std::string(near) + "一桁違い") << near;
    for (const char* far : {"145", "111", "456"})
        EXPECT_EQ(resultFor(far, "123"), "") << far;
    // 1 and 1 against 1 and 1 once each in 113: two in common.
    EXPECT_TRUE(scoreNumbers3("110", "113", true).oneDigitOff);
}

TEST(Numbers3Scoring, OneDigitOffOnlyWhileTheOptionIsOn)
{
    EXPECT_EQ(resultFor("124", "123", false), "");
    EXPECT_FALSE(scoreNumbers3("124", "123", false).oneDigitOff);
}

TEST(Numbers3Scoring, NoResultNeverHitsNorNearlyHits)
{
    const CandidateScore score = scoreNumbers3("123", "---", true);
    EXPECT_FALSE(score.isHit());
    EXPECT_FALSE(score.oneDigitOff);
}
