#pragma once
// One position's tally that keeps its digits ordered by count, so that a walk-forward pass gets
// the rank table of every iteration without running the rank selection rule over the whole
// tally each time: each draw moves its digit up the order and fills again only the ranks of the
// groups of equal counts it left or joined. It gives exactly the tables of buildRankTable() on
// the same counts.

#include "engine/DigitTally.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace tolvi {

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
