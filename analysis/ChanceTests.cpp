#include "analysis/ChanceTests.h"

#include <boost/math/distributions/binomial.hpp>
#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/normal.hpp>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace tolvi {

namespace {

struct Cell {
    double observed, expected;
};

// Groups neighbouring cells from the first on until each group expects at least 5; a last group
// that falls short joins the one before it. Any fixed grouping keeps the test exact in its size,
// and it keeps the chi-square distribution a fair reading of the statistic where the cells are
// thin (10,000 numbers over a few thousand draws, the tails of the digit sums).
std::vector<Cell> grouped(const std::vector<Cell>& cells)
{
    constexpr double kSmallest = 5.0;
    std::vector<Cell> groups;
    Cell open {0, 0};
    for (const Cell& cell : cells) {
        open.observed += cell.observed;
        open.expected += cell.expected;
        if (open.expected >= kSmallest) {
            groups.push_back(open);
            open = {0, 0};
        }
    }
    if (open.expected > 0) {
        if (groups.empty())
            groups.push_back(open);
        else {
            groups.back().observed += open.observed;
            groups.back().expected += open.expected;
        }
    }
    return groups;
}

}  // namespace

ChiSquare chiSquareTest(std::span<const long> counts, std::span<const double> probabilities)
{
    const double n = double(std::accumulate(counts.begin(), counts.end(), 0L));
    std::vector<Cell> cells;
    cells.reserve(counts.size());
    for (std::size_t i = 0; i < counts.size(); ++i)
        if (probabilities[i] > 0)
            cells.push_back({double(counts[i]), n * probabilities[i]});
    cells = grouped(cells);
    ChiSquare result;
    if (n == 0 || cells.size() < 2)
        return result;
    for (const Cell& cell : cells)
        result.chi2 += (cell.observed - cell.expected) * (cell.observed - cell.expected) / cell.expected;
    result.df = int(cells.size()) - 1;
    result.p = boost::math::cdf(boost::math::complement(boost::math::chi_squared(result.df), result.chi2));
    return result;
}

void adjustHolm(std::vector<TestResult>& tests)
{
    std::vector<std::size_t> order(tests.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return tests[a].test.p < tests[b].test.p; });
    const double m = double(tests.size());
    double running = 0;
    for (std::size_t rank = 0; rank < order.size(); ++rank) {
        TestResult& test = tests[order[rank]];
        running = std::max(running, std::min(1.0, (m - double(rank)) * test.test.p));
        test.pHolm = running;
    }
}

const char* verdictWords(double pHolm)
{
    return pHolm < kSignificance ? "偶然では説明しにくい偏りです" : "偶然の範囲です";
}

double binomialUpperTail(long k, long n, double p)
{
    if (k <= 0)
        return 1.0;
    if (k > n)
        return 0.0;
    return boost::math::cdf(boost::math::complement(boost::math::binomial(double(n), p), double(k - 1)));
}

Interval wilsonInterval(long k, long n)
{
    if (n <= 0)
        return {0, 1};
    const double z = boost::math::quantile(boost::math::normal(), 0.975);
    const double nn = double(n), phat = double(k) / nn, z2 = z * z;
    const double centre = (phat + z2 / (2 * nn)) / (1 + z2 / nn);
    const double half = z / (1 + z2 / nn) * std::sqrt(phat * (1 - phat) / nn + z2 / (4 * nn * nn));
    return {std::max(0.0, centre - half), std::min(1.0, centre + half)};
}

}  // namespace tolvi
