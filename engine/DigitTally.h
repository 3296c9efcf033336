#pragma once
// The position tallies (how often each digit was drawn in the hundreds, tens and units place)
// and the rank tables built from them.

#include <array>
#include <string_view>

namespace tolvi {

using DigitCounts = std::array<int, 10>;
// rank 0 .. 9 -> digit; a digit may appear twice (see buildRankTable).
using RankTable = std::array<int, 10>;

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

}  // namespace tolvi
