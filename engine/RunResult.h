#pragma once
// What a prediction run has found out, as numbers: the totals, the prediction, the last draw's
// hits and, when asked for, every draw scored. The engines keep it up to date and tell their view
// which part changed; how the window words it is design/RunCaptions' business, so the window, the
// tool and the charts all read the same facts.

#include "engine/RunTotals.h"
#include "games/Editions.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tolvi {

// The parts of a result that change together, in the order a run reaches them.
enum class RunPart {
    Stake,       // ticketsBought
    HitPanel,    // lastDrawHits: the last draw record was hit
    Prediction,  // prediction
    Finished,    // totals, returned and paybackRate: the run is over
};
inline constexpr std::array kRunParts {RunPart::Stake, RunPart::HitPanel, RunPart::Prediction, RunPart::Finished};

// The last draw record of a pass, when a candidate hit it.
struct LastDrawHits {
    std::int32_t drawNumber = 0;
    std::string winningNumber;  // the record's three bytes, as they stand
    int straight = 0, box = 0, mini = 0;
};

struct Prediction {
    std::int32_t nextDrawNumber = 0;
    // The numbers the window lists, 0-999: the edition buys the last predictedDigits of each.
    std::vector<int> numbers;
};

// One draw record as a replay scored it (kept only when RunRequest::keepDraws asks).
struct ScoredDraw {
    std::string record;  // the record's bytes ("---" records too)
    int tickets = 0;     // candidates bought for it
    int straightHits = 0, boxHits = 0, miniHits = 0;
    std::int64_t spend = 0;     // yen the payback rate divides by, so far
    std::int32_t returned = 0;  // prizes the payback rate counts, so far
};

struct RunResult {
    Edition edition = Edition::Numbers3;
    std::string groupSeparator = ",";  // the request's, for the amounts

    std::int32_t ticketsBought = 0;
    LastDrawHits lastDrawHits;
    Prediction prediction;
    RunTotals totals;
    std::int32_t returned = 0;                // the payout: prizes of the bets the edition buys
    std::optional<std::int32_t> paybackRate;  // none: the rate's caption stays as it was
    std::vector<ScoredDraw> draws;
};

}  // namespace tolvi
