#include "engine/Numbers3Scoring.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

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

namespace {

using Triple = std::array<char, 3>;

// The six orderings C1C2C3, C1C3C2, C2C1C3, C2C3C1, C3C1C2, C3C2C1.
std::array<Triple, 6> orderings(const Triple& c)
{
    return {{{c[0], c[1], c[2]},
             {c[0], c[2], c[1]},
             {c[1], c[0], c[2]},
             {c[1], c[2], c[0]},
             {c[2], c[0], c[1]},
             {c[2], c[1], c[0]}}};
}

bool anyOrderingEquals(const Triple& c, const Triple& w)
{
    for (const Triple& ordering : orderings(c))
        if (ordering == w)
            return true;
    return false;
}

// The one-digit-off test as the rules word it: nine blankings, each followed by the six orderings.
bool nearlyHits(const Triple& c, const Triple& w)
{
    for (std::size_t p = 0; p < 3; ++p) {
        for (std::size_t q = 0; q < 3; ++q) {
            Triple blankedW = w, blankedC = c;
            blankedW[p] = ' ';
            blankedC[q] = ' ';
            if (anyOrderingEquals(blankedC, blankedW))
                return true;
        }
    }
    return false;
}

}  // namespace

TEST(Numbers3Scoring, EveryCandidateAgainstEveryWinningNumberFollowsTheWordedTests)
{
    std::vector<std::string> winnings {"---"};
    for (int w = 0; w < 1000; ++w)
        winnings.push_back({char('0' + w / 100), char('0' + w / 10 % 10), char('0' + w % 10)});
    for (int value = 0; value < 1000; ++value) {
        const std::string candidate {char('0' + value / 100), char('0' + value / 10 % 10), char('0' + value % 10)};
        const Triple c {candidate[0], candidate[1], candidate[2]};
        for (const std::string& winning : winnings) {
            const Triple w {winning[0], winning[1], winning[2]};
            const CandidateScore score = scoreNumbers3(candidate, winning, true);
            ASSERT_EQ(score.straight, c == w) << candidate << " " << winning;
            ASSERT_EQ(score.box, anyOrderingEquals(c, w)) << candidate << " " << winning;
            ASSERT_EQ(score.mini, c[1] == w[1] && c[2] == w[2]) << candidate << " " << winning;
            ASSERT_EQ(score.oneDigitOff, nearlyHits(c, w)) << candidate << " " << winning;
            ASSERT_FALSE(scoreNumbers3(candidate, winning, false).oneDigitOff);
        }
    }
}
