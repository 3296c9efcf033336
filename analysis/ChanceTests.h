#pragma once
// The tests that say whether what the draws show is more than luck, and the correction for
// looking at many of them at once.

#include <span>
#include <string>
#include <vector>

namespace tolvi {

struct ChiSquare {
    double chi2 = 0;
    int df = 0;
    double p = 1;  // of a deviation at least this large under pure chance
};

// Pearson's test of `counts` against the exact probabilities `probabilities` (summing to 1).
// Neighbouring cells are grouped first, in order, until each group expects at least 5, so that
// the chi-square distribution is a fair reading of the statistic; with fewer than two groups
// left the test says nothing (df 0, p 1).
ChiSquare chiSquareTest(std::span<const long> counts, std::span<const double> probabilities);

// One test of a view: its name as the window shows it, a key for the tool, its raw p-value and
// the p-value after Holm's correction over every test shown with it.
struct TestResult {
    std::string key;
    std::string name;
    ChiSquare test;
    double pHolm = 1;
};

// Sets pHolm of every test: Holm's step-down adjustment over all of them.
void adjustHolm(std::vector<TestResult>& tests);

// The plain words for an adjusted p-value.
const char* verdictWords(double pHolm);
inline constexpr double kSignificance = 0.05;

// P(X >= k) for X ~ Binomial(n, p).
double binomialUpperTail(long k, long n, double p);
// The 95 % Wilson score interval of k successes in n.
struct Interval {
    double low = 0, high = 0;
};
Interval wilsonInterval(long k, long n);

}  // namespace tolvi
