#pragma once
// The Numbers3 edition's prediction run: one walk-forward replay pass over the history with
// five candidates from fixed rank triples, scored as straight, box and mini bets.

#include "engine/PredictionEngine.h"
#include "engine/RunTotals.h"

#include <array>
#include <cstdint>

namespace tolvi {

class DrawRecord;
class RankedTally;

class Numbers3Engine : public PredictionEngine {
public:
    void run(const RunRequest& request, RunView& view) override;

    // The prediction of the last run (candidates 1-5) and its candidate count.
    const std::array<int, 5>& candidates() const { return candidates_; }
    int candidateCount() const { return candidateCount_; }
    const RunTotals& totals() const { return totals_; }
    const RunResult& result() const { return result_; }

private:
    struct DrawHits {
        int straight = 0, box = 0, mini = 0;
        bool any() const { return straight != 0 || box != 0 || mini != 0; }
    };

    void replayPass(const RunRequest& request, RunView& view, int rankPattern);
    // Candidates 1-5 from the tallies of the draws so far, by the rule set of the draw reached.
    void composeCandidates(const std::array<RankedTally, 3>& tallies, bool factorEvaluation, int rankPattern);
    void scoreRecord(const DrawRecord& record, const RunRequest& request, RunView& view);
    void showHitPanel(const DrawRecord& record, RunView& view);
    void showPrediction(RunView& view);
    void addStatistics(RunView& view, int rankPattern) const;
    void finishRun(RunView& view);

    // Kept from run to run like the window's own state; every pass overwrites them first.
    std::array<int, 5> candidates_ {};
    int candidateCount_ = 0;
    RunTotals totals_;
    DrawHits lastDrawHits_;
    std::int32_t lastDrawNumber_ = 0;
    RunResult result_;
};

}  // namespace tolvi
