#pragma once
// Hit counts and prize sums of one replay pass, and the arithmetic shown from them.

#include "engine/RunView.h"

#include <cstdint>
#include <optional>

namespace tolvi {

// Prize sums are 32-bit and wrap around like the stored totals always have; a damaged file
// full of seven-digit prizes must not make the program's arithmetic undefined.
inline std::int32_t wrappingAdd(std::int32_t a, std::int32_t b)
{
    return std::int32_t(std::uint32_t(a) + std::uint32_t(b));
}

struct RunTotals {
    std::int32_t straightHits = 0, boxHits = 0, miniHits = 0;
    std::int32_t straightSum = 0, boxSum = 0, miniSum = 0;
};

// What Numbers3 bets cost up to `lastDrawNumber`: every draw from the first, `candidates` straight
// and as many box bets of 200 yen each.
std::int64_t numbers3Spend(std::int32_t lastDrawNumber, int candidates);

// The payback rate: `prizeSum` in percent of `spend`, truncated as the payout panel shows it
// (the prize sum divided by the spend's hundreds); none when not even 100 yen was spent.
std::optional<std::int32_t> paybackRate(std::int32_t prizeSum, std::int64_t spend);

// The statistics row of a rank pattern: its "%3.3d" caption, the hit counts and prize sums of
// straight, box and mini, and the payback rate.
StatsRow statsRow(int rankPattern, const RunTotals& totals, std::int32_t rate);

}  // namespace tolvi
