#pragma once
// The rank selection rule as plainly as it reads: each position's tally (how often each digit was
// drawn in the hundreds, tens and units place) and a rank table built from its counts at once.
// The runs use RankedTally, which keeps the same tables up to date draw by draw; the tests hold
// it, and the plain engines, to this rule.

#include "engine/RankedTally.h"

#include <array>
#include <string_view>

namespace tolvi::test {

// For each rank r: the digit with the highest remaining count, r itself on a tie that includes
// r, otherwise the lowest tied digit; the chosen count then becomes 0. Once every count is 0,
// rank r receives digit r even when an earlier rank already holds it: the table is used as it is.
RankTable buildRankTable(DigitCounts working);

class DigitTally {
public:
    void reset() { counts_ = {}; }
    // Adds the three digits of a winning number; ConversionError when one is not a digit.
    void add(std::string_view winningNumber);
    const DigitCounts& position(int index) const { return counts_[std::size_t(index)]; }
    std::array<RankTable, 3> rankTables() const;

private:
    std::array<DigitCounts, 3> counts_ {};
};

// hundreds[a] * 100 + tens[b] * 10 + units[c]
int composeCandidate(const std::array<RankTable, 3>& tables, int a, int b, int c);

}  // namespace tolvi::test
