#pragma once
// What a prediction replay did at each draw record, for those who chart it: the candidates
// bought, the hits, and the running totals the payout panel ends with. The window's run has none.

#include "engine/RunTotals.h"
#include "history/DrawRecord.h"

#include <cstdint>

namespace tolvi {

struct DrawOutcome {
    const DrawRecord& record;  // the draw record scored (a "---" record too)
    int tickets = 0;           // candidates bought for it
    int straightHits = 0, boxHits = 0, miniHits = 0;
    const RunTotals& totals;   // the pass's totals after this record
    std::int64_t spend = 0;    // yen the payback rate divides by, so far
    std::int32_t returned = 0; // prizes the payback rate counts, so far
};

class ReplayObserver {
public:
    virtual ~ReplayObserver() = default;
    // Called once for every draw record of a pass, in file order, after it has been scored.
    virtual void onDraw(const DrawOutcome& outcome) = 0;
};

}  // namespace tolvi
