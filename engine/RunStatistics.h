#pragma once
// The numbers behind the charts: one prediction replay of an edition, draw by draw, beside what
// buying uniformly random numbers instead would have returned — its exact expectation and the
// band in which 90 % of a thousand simulated random buyers end up.

#include "engine/PredictionEngine.h"
#include "games/Editions.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tolvi {

using DigitCounts10 = std::array<int, 10>;

struct RunStatistics {
    // One entry per replayed draw record with a result, in file order.
    std::vector<std::int32_t> draw;
    std::vector<std::int64_t> spend;        // yen spent on the bets so far, as the payback rate divides
    std::vector<std::int64_t> won;          // prizes the payback rate counts, so far (the payout total)
    std::vector<double> expected;           // the same purchases as uniformly random numbers: exact expectation
    std::vector<double> bandLow, bandHigh;  // 5th and 95th percentile of 1,000 simulated random buyers
    std::vector<int> straightHits, boxHits, miniHits;  // hits of the draw itself

    // Digit counts per place the edition predicts, from its first place (Numbers3: hundreds,
    // tens, units; Mini: tens, units), over every draw with a result and over the last 100 of them.
    std::vector<DigitCounts10> digitsAll, digitsLast100;
};

// The band's simulated buyers and their fixed seed: the same history always gives the same band.
inline constexpr int kSimulatedBuyers = 1000;
inline constexpr std::uint64_t kBandSeed = 0x546F6C7669ull;  // "Tolvi"

// Replays the history of `request` once as a prediction (the tag is set to 0) with `engine`,
// which must be the engine of `edition`; the random tickets are bought as the edition buys its
// prediction (EditionDescription::purchase). Errors as the run's.
RunStatistics collectStatistics(PredictionEngine& engine, Edition edition, RunRequest request);

}  // namespace tolvi
