#pragma once
// One position's tally that keeps its digits ordered by count, so that a walk-forward pass gets
// the rank table of every iteration without running the rank selection rule over the whole
// tally each time: each draw moves its digit up the order and fills again only the ranks of the
// groups of equal counts it left or joined. It gives exactly the tables of the rank selection rule
// (see RankTable) on the same counts.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tolvi {

using DigitCounts = std::array<int, 10>;
// rank 0 .. 9 -> digit. For each rank r: the digit with the highest remaining count, r itself on
// a tie that includes r, otherwise the lowest tied digit; the chosen count then becomes 0. Once
// every count is 0, rank r receives digit r even when an earlier rank already holds it: the table
// is used as it is, so a digit may appear twice.
using RankTable = std::array<int, 10>;

// Raises the ConversionError that reading the first of the winning number's three places that is
// not a digit gives ("---" and short texts included); returns for three digits.
void requireWinningDigits(std::string_view winningNumber);

class RankedTally {
public:
    void reset() { *this = RankedTally(); }
    // One more draw of `digit` (0-9).
    void add(int digit);
    const DigitCounts& counts() const { return counts_; }
    const RankTable& rankTable() const { return table_; }

private:
    void fillRanks(std::size_t first, std::size_t end);

    DigitCounts counts_ {};
    // Digits by count, highest first; equal counts keep the lower digit first.
    std::array<int, 10> order_ {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    std::array<std::uint8_t, 10> where_ {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    RankTable table_ {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
};

}  // namespace tolvi
