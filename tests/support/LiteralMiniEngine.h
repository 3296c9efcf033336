#pragma once
// The Mini edition's prediction run written out step by step, the slow way: every pass opens
// the history file again and reads it block by block, rebuilds the tallies and rank tables at
// every iteration, handles candidates as three-character texts, and shows everything as it
// happens. The tests hold the real engine against it.

#include "design/RunCaptions.h"
#include "engine/PredictionEngine.h"
#include "engine/RunTotals.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tolvi::test {

class LiteralMiniEngine : public PredictionEngine {
public:
    void run(const RunRequest& request, RunView& view) override;

private:
    void replayPass(const RunRequest& request, LabelView& view, int pass);
    void composeCandidates(const std::vector<std::vector<int>>& rankTables, int pass);
    void scoreCandidate(int candidate, const std::string& recordText, const RunRequest& request, LabelView& view);

    // The engine's module-level state.
    std::vector<int> candidates_;
    RunTotals totals_;
    std::int32_t stake_ = 0;
    std::int32_t lastDrawNumber_ = 0;
    int drawRecordCount_ = 0;
    int lastDrawMiniHits_ = 0;
    std::string winning_;
    bool factor_ = false;
};

}  // namespace tolvi::test
