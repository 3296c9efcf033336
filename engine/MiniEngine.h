#pragma once
// The Mini edition's prediction run: walk-forward replay passes over the history that bet the
// last two digits of up to four candidates per draw, and in a factor evaluation one pass for
// each rank pattern 000 to 999.

#include "engine/PredictionEngine.h"
#include "engine/RunTotals.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace tolvi {

class MiniHistory;

// The candidates of one pass iteration after duplicate removal and the high-low filter, in
// list order; only the first `count` values are candidates.
struct MiniCandidates {
    std::array<int, 4> values {};
    int count = 0;
};

class MiniEngine : public PredictionEngine {
public:
    void run(const RunRequest& request, RunView& view) override;

    // The state the last pass left: its prediction for the next draw, its totals and stake.
    const MiniCandidates& candidates() const { return candidates_; }
    const RunTotals& totals() const { return totals_; }
    std::int32_t stakeTotal() const { return stake_; }
    const RunResult& result() const { return result_; }

private:
    void replayPass(const MiniHistory& history, const RunRequest& request, RunView& view, int rankPattern);
    bool countPass(const MiniHistory& history, int rankPattern);
    void showStake(RunView& view);
    void showHitPanel(const MiniHistory& history, RunView& view);
    void showPrediction(const MiniHistory& history, RunView& view, const MiniCandidates& prediction);
    void addStatistics(RunView& view, int rankPattern) const;
    void finishRun(RunView& view);

    // Kept from run to run like the window's own state; every pass overwrites them first.
    MiniCandidates candidates_;
    RunTotals totals_;
    std::int32_t stake_ = 0;    // yen, 200 per candidate and draw record
    int lastDrawMiniHits_ = 0;  // mini hits of the pass's last draw record
    bool factorEvaluation_ = false;
    RunResult result_;
};

}  // namespace tolvi
