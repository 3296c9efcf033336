#pragma once
// How both editions make a candidate: a triple of ranks picks, from the rank tables of the
// hundreds, tens and units places, the digit at each rank. The fixed rule sets are lists of such
// triples; a factor evaluation's rank pattern 000-999 is one triple written as three digits.

namespace tolvi {

struct RankTriple {
    int hundreds, tens, units;
};

// The rank pattern 456 is the triple (4, 5, 6).
constexpr RankTriple rankTripleOf(int rankPattern)
{
    return {rankPattern / 100 % 10, rankPattern / 10 % 10, rankPattern % 10};
}

// The candidate 0-999 of `ranks`; digitAt(position, rank) is the digit at `rank` in the rank
// table of `position` (0 hundreds, 1 tens, 2 units).
template <typename DigitAt> int composeCandidate(const RankTriple& ranks, DigitAt&& digitAt)
{
    return digitAt(0, ranks.hundreds) * 100 + digitAt(1, ranks.tens) * 10 + digitAt(2, ranks.units);
}

}  // namespace tolvi
