// The analyses against brute-force counts and enumerations written independently of them.

#include "analysis/DrawAnalysis.h"
#include "analysis/Popularity.h"
#include "analysis/PredictionVerdict.h"
#include "support/HistoryBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace tolvi {
namespace {

std::string digitsOf(int number, int digits)
{
    std::string text(std::size_t(digits), '0');
    for (int i = digits - 1; i >= 0; --i, number /= 10)
        text[std::size_t(i)] = char('0' + number % 10);
    return text;
}

TEST(ExactModel, MatchesEnumerationOfEveryNumberAndEveryPairOfDraws)
{
    for (const Game game : kGames) {
        const int digits = describe(game).digits, space = describe(game).numberSpace;
        std::map<int, int> sums;
        std::map<std::string, int> shapes;  // sorted multiplicities, "21" for a double
        for (int n = 0; n < space; ++n) {
            const std::string text = digitsOf(n, digits);
            int sum = 0;
            for (const char c : text)
                sum += c - '0';
            ++sums[sum];
            std::map<char, int> seen;
            for (const char c : text)
                ++seen[c];
            std::string key;
            for (const auto& [c, k] : seen)
                key += char('0' + k);
            std::sort(key.rbegin(), key.rend());
            ++shapes[key];
        }
        const ExactModel& model = exactModel(game);
        for (const auto& [sum, count] : sums)
            EXPECT_DOUBLE_EQ(model.sum[std::size_t(sum)], double(count) / space) << sum;
        std::vector<double> expectedShapes;
        for (const auto& [key, count] : shapes)
            expectedShapes.push_back(double(count) / space);
        std::vector<double> got = model.shape;
        std::sort(got.begin(), got.end());
        std::sort(expectedShapes.begin(), expectedShapes.end());
        EXPECT_EQ(got, expectedShapes);
        EXPECT_DOUBLE_EQ(model.samePlace, 0.1);
    }
    // Every pair of Numbers3 draws: 60.751 %, the 60.75 % players quote.
    long repeats = 0;
    for (int a = 0; a < 1000; ++a)
        for (int b = 0; b < 1000; ++b) {
            const std::string x = digitsOf(a, 3), y = digitsOf(b, 3);
            repeats += y.find_first_of(x) != std::string::npos;
        }
    EXPECT_DOUBLE_EQ(exactModel(Game::Numbers3).repeatAny, double(repeats) / 1e6);
    EXPECT_EQ(std::lround(exactModel(Game::Numbers3).repeatAny * 10000), 6075);
}

TEST(DrawAnalysis, CountsOfASmallHistoryMatchABruteForceRecount)
{
    const std::vector<int> numbers {123, 321, 777, 100, 459, 950, 123, 5};
    for (const Game game : kGames) {
        const int digits = describe(game).digits;
        std::vector<Draw> draws;
        for (std::size_t i = 0; i < numbers.size(); ++i)
            draws.push_back({std::int32_t(i + 1), numbers[i] * (digits == 4 ? 7 : 1) % describe(game).numberSpace, 0});
        const DrawAnalysis a = analyzeDraws(game, draws);
        ASSERT_EQ(a.draws, long(draws.size()));
        long repeatAny = 0;
        for (int place = 0; place < digits; ++place) {
            std::array<long, 10> counts {};
            long odd = 0, high = 0, same = 0;
            for (std::size_t i = 0; i < draws.size(); ++i) {
                const int d = digitsOf(draws[i].number, digits)[std::size_t(place)] - '0';
                ++counts[std::size_t(d)];
                odd += d % 2;
                high += d >= 5;
                same += i > 0 && digitsOf(draws[i - 1].number, digits)[std::size_t(place)] - '0' == d;
            }
            EXPECT_EQ(a.positions[std::size_t(place)], counts);
            EXPECT_EQ(a.odd[std::size_t(place)], odd);
            EXPECT_EQ(a.high[std::size_t(place)], high);
            EXPECT_EQ(a.samePlace[std::size_t(place)], same);
            for (int digit = 0; digit < 10; ++digit) {
                long run = 0, longest = 0;
                for (const Draw& draw : draws) {
                    run = digitsOf(draw.number, digits)[std::size_t(place)] - '0' == digit ? 0 : run + 1;
                    longest = std::max(longest, run);
                }
                EXPECT_EQ(a.digitAbsences[std::size_t(place)][std::size_t(digit)].current, run);
                EXPECT_EQ(a.digitAbsences[std::size_t(place)][std::size_t(digit)].longest, longest);
            }
        }
        std::vector<long> sums(a.sums.size(), 0);
        for (std::size_t i = 0; i < draws.size(); ++i) {
            const std::string text = digitsOf(draws[i].number, digits);
            int sum = 0;
            for (const char c : text)
                sum += c - '0';
            ++sums[std::size_t(sum)];
            if (i > 0)
                repeatAny += text.find_first_of(digitsOf(draws[i - 1].number, digits)) != std::string::npos;
            EXPECT_EQ(a.mini[std::size_t(draws[i].number % 100)],
                      std::count_if(draws.begin(), draws.end(),
                                    [&](const Draw& d) { return d.number % 100 == draws[i].number % 100; }));
        }
        EXPECT_EQ(a.sums, sums);
        EXPECT_EQ(a.repeatAny, repeatAny);
        EXPECT_EQ(a.repeatDraws, long(draws.size()) - 1);
        const std::size_t pairs = std::size_t(digits * (digits - 1) / 2 - 1);  // the last two are the ミニ
        EXPECT_EQ(a.pairs.size(), pairs);
        EXPECT_EQ(a.tests.size(), std::size_t(digits) * 5 + 5 + pairs);
    }
}

TEST(ChanceTests, ChiSquareMergesThinCellsAndHolmAdjustsStepDown)
{
    // Three cells expecting 20 each: chi2 = (100 + 0 + 100) / 20 = 10 on 2 df, p = e^-5.
    const std::vector<long> counts {10, 20, 30};
    const ChiSquare even = chiSquareTest(counts, std::vector<double> {1.0 / 3, 1.0 / 3, 1.0 / 3});
    EXPECT_DOUBLE_EQ(even.chi2, 10.0);
    EXPECT_EQ(even.df, 2);
    EXPECT_NEAR(even.p, std::exp(-5.0), 1e-12);
    // A cell expecting 3 of 60 joins its neighbour: two cells, one degree of freedom.
    EXPECT_EQ(chiSquareTest(counts, std::vector<double> {0.05, 0.45, 0.5}).df, 1);

    std::vector<TestResult> tests {{"a", "a", {0, 1, 0.01}}, {"b", "b", {0, 1, 0.04}}, {"c", "c", {0, 1, 0.03}}};
    adjustHolm(tests);
    EXPECT_DOUBLE_EQ(tests[0].pHolm, 0.03);
    EXPECT_DOUBLE_EQ(tests[2].pHolm, 0.06);
    EXPECT_DOUBLE_EQ(tests[1].pHolm, 0.06);  // never below the step before it

    // The binomial tail against its terms summed: 20 tickets at 1/10, at least 5 hits.
    double tail = 0;
    for (int k = 5; k <= 20; ++k)
        tail += std::tgamma(21.0) / (std::tgamma(k + 1.0) * std::tgamma(21.0 - k)) * std::pow(0.1, k) *
                std::pow(0.9, 20 - k);
    EXPECT_NEAR(binomialUpperTail(5, 20, 0.1), tail, 1e-12);
    // The smallest edge: at the detectable chance the critical count is reached with 80 %.
    const double edge = detectableEdge(20000, 0.001);
    EXPECT_GT(edge, 0.3);
    EXPECT_LT(edge, 0.8);
}

TEST(Popularity, KindsAndRatiosMatchACountByHand)
{
    std::set<int> dates3, dates4;
    for (int month = 1; month <= 12; ++month)
        for (int day = 1; day <= std::array {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}[std::size_t(month - 1)];
             ++day) {
            if (month <= 9)
                dates3.insert(month * 100 + day);
            else if (day <= 9)
                dates3.insert(month * 10 + day);
            dates4.insert(month * 100 + day);
        }
    EXPECT_EQ(dates3.size(), 274u);
    for (const auto& [game, dates] : {std::pair {Game::Numbers3, dates3}, std::pair {Game::Numbers4, dates4}})
        for (int n = 0; n < describe(game).numberSpace; ++n)
            EXPECT_EQ(isOfKind(game, n, NumberKind::Date), dates.count(n) == 1) << n;
    for (const int run : {12, 123, 789, 987, 210})
        EXPECT_TRUE(isOfKind(Game::Numbers3, run, NumberKind::Run)) << run;
    EXPECT_FALSE(isOfKind(Game::Numbers3, 901, NumberKind::Run));
    EXPECT_TRUE(isOfKind(Game::Numbers3, 458, NumberKind::Rest));

    // Five draws: each prize against the median of all five (all lie within 50 draws).
    DrawSeries series {Game::Numbers3,
                       {{1, 111, 30000}, {2, 458, 100000}, {3, 458, 90000}, {4, 123, 60000}, {5, 777, 0}}};
    const Popularity p = analyzePopularity(series, DrawRange::all());
    EXPECT_DOUBLE_EQ(p.medianPrize, 75000);  // the unpaid draw is left out
    const KindPopularity& rest = p.kinds[std::size_t(NumberKind::Rest)];
    EXPECT_EQ(rest.draws, 2);
    EXPECT_DOUBLE_EQ(rest.meanRatio, (100000.0 + 90000.0) / 2 / 75000);
    EXPECT_LT(rest.low, rest.meanRatio);
    EXPECT_DOUBLE_EQ(rest.expectedReturn, rest.meanRatio * 75000 / 1000);
    EXPECT_EQ(p.kinds[std::size_t(NumberKind::Triple)].draws, 1);  // 777 has no prize
}

TEST(PredictionVerdict, HitsTicketsAndBuyersComeFromTheStatisticsAndTheHistory)
{
    // Two draws, two candidates each bought straight and box; the prediction hit 123 once.
    const std::string content =
        test::HistoryBuilder().draw(1, "123", 90000, 15000).draw(2, "456", 100000, 16000).bytes();
    RunStatistics s;
    s.draw = {1, 2};
    const double perTicket1 = (90000 + 6 * 15000) / 1000.0, perTicket2 = (100000 + 6 * 16000) / 1000.0;
    s.expected = {2 * perTicket1, 2 * perTicket1 + 2 * perTicket2};
    s.straightHits = {1, 0};
    s.boxHits = {1, 0};
    s.miniHits = {0, 0};
    s.won = {105000, 105000};
    s.spend = {800, 1600};
    const PredictionVerdict v = judgePrediction(s, Edition::Numbers3, content);
    EXPECT_EQ(v.tickets, 4);
    EXPECT_EQ(v.hits, 1);
    EXPECT_DOUBLE_EQ(v.expectedHits, 0.004);
    EXPECT_NEAR(v.p, 1 - std::pow(0.999, 4), 1e-12);
    // A buyer of four random tickets wins 105,000 yen or more only on a straight (1 in 1,000).
    EXPECT_LT(v.buyersAtLeast, 20);
    EXPECT_EQ(judgePrediction(s, Edition::Numbers3, content, 1).buyersAtLeast, 1000);  // won 0 on draw 2
}

}  // namespace
}  // namespace tolvi
