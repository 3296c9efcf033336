#pragma once
// 収支: what the tickets cost and won, by month or year, and the player's return beside what
// chance gives: random buyers of the same tickets (the same game, kind and 口 on the same draws)
// would on average win the exact expectation, computed from each draw's own prizes, and 9 in 10
// of 1,000 simulated such buyers end up inside the band. Only settled draws (won or lost) count
// as spent; draws still to come or without a result are counted apart.

#include "tickets/Settlement.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tolvi {

// The simulated buyers and their fixed seed: the same tickets and history always give the same
// band. The same numbers as the prediction's chart band, so that the two bands mean one thing.
inline constexpr int kTicketBuyers = 1000;
inline constexpr std::uint64_t kTicketBandSeed = 0x546F6C7669ull;

struct LedgerTotals {
    std::int64_t spent = 0;    // yen of the settled ticket draws
    std::int64_t won = 0;
    std::int64_t unsettled = 0;  // yen of the draws pending or without a result
    double expected = 0;       // random buyers' exact expectation on the settled draws
    double bandLow = 0, bandHigh = 0;  // 5th and 95th percentile of the simulated buyers

    // won / spent, nothing before anything is settled.
    std::optional<double> rate() const
    {
        return spent > 0 ? std::optional<double>(double(won) / double(spent)) : std::nullopt;
    }
};

// Cumulative, after each settled draw in draw order: the 収支 curve.
struct LedgerPoint {
    std::int32_t draw = 0;
    std::int64_t spent = 0, won = 0;
    double expected = 0, bandLow = 0, bandHigh = 0;
};

enum class LedgerPeriod { Month, Year };

struct PeriodTotals {
    std::string period;  // "2026-12" or "2026", of the draw's date
    std::int64_t spent = 0, won = 0, unsettled = 0;
};

struct LedgerSummary {
    LedgerTotals total;
    std::vector<PeriodTotals> periods;  // oldest first
    std::vector<LedgerPoint> curve;
};

// Summarises `tickets` settled against `index`. `withBand` false leaves the simulation out
// (bandLow and bandHigh 0) for views that do not show it.
LedgerSummary summarize(const std::vector<Ticket>& tickets, const DrawIndex& index, LedgerPeriod by,
                        bool withBand = true);

// The exact expectation per 口 of a uniformly random ticket of `kind` on `record` (0 for a draw
// without a result): a box or set buyer chooses among the numbers that can be bought so.
double expectationPerKuchi(Game game, BetKind kind, const DrawRecord& record);

}  // namespace tolvi
