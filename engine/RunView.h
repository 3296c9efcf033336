#pragma once
// What a prediction run shows, as the window (or the command-line tool) receives it.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace tolvi {

struct RunResult;
enum class RunPart;

// The controls a run writes besides the two lists, by what they hold: the labels of the summary,
// the payout panel and the hit panel, and the two panels it opens.
enum class RunControl {
    StraightHits,
    BoxHits,
    MiniHits,
    StraightAmount,
    BoxAmount,
    MiniAmount,
    PayoutTotal,
    PaybackRate,
    NextDrawCaption,
    Candidate1,
    Candidate2,
    Candidate3,
    Candidate4,
    HitDrawNumber,
    HitWinningNumber,
    HitKind,
    TicketsBought,
    PayoutPanel,
    HitPanel,
};
// Every control, in the enum's order (the tool lists them so).
inline constexpr std::array kRunControls {
    RunControl::StraightHits,    RunControl::BoxHits,       RunControl::MiniHits,         RunControl::StraightAmount,
    RunControl::BoxAmount,       RunControl::MiniAmount,    RunControl::PayoutTotal,      RunControl::PaybackRate,
    RunControl::NextDrawCaption, RunControl::Candidate1,    RunControl::Candidate2,       RunControl::Candidate3,
    RunControl::Candidate4,      RunControl::HitDrawNumber, RunControl::HitWinningNumber, RunControl::HitKind,
    RunControl::TicketsBought,   RunControl::PayoutPanel,   RunControl::HitPanel,
};
inline constexpr std::size_t kRunControlCount = kRunControls.size();
static_assert(kRunControlCount == std::size_t(RunControl::HitPanel) + 1, "a control missing from kRunControls");
static_assert(
    [] {
        for (std::size_t i = 0; i < kRunControlCount; ++i)
            if (std::size_t(kRunControls[i]) != i)
                return false;
        return true;
    }(),
    "kRunControls out of the enum's order");

// The control's object name in the window, and its key in the tool's JSON: "Label16", "GetPanel".
std::string_view controlName(RunControl control);

// One row of the result list: the columns "抽選", "当選番号" and "結果".
struct ResultRow {
    std::string caption;
    std::string winning;
    std::string result;
    bool operator==(const ResultRow&) const = default;
};

// One row of the statistics list: "No" and seven cells.
using StatsRow = std::array<std::string, 8>;

class RunView {
public:
    virtual ~RunView() = default;

    virtual void clearResults() = 0;
    // The row must reach the screen promptly (the window paints at most once a frame).
    virtual void addResult(ResultRow row) = 0;
    virtual void addStats(StatsRow row) = 0;
    // `part` of the run's result has changed (the rest of it is as last shown).
    virtual void show(const RunResult& result, RunPart part) = 0;

    // Whether the view shows what happens during a run (the window) or only the state a run
    // leaves behind (the command-line tool). A view that shows only the end lets the engine
    // skip the rows and captions that a later pass or record replaces anyway.
    virtual bool showsProgress() const { return true; }
};

}  // namespace tolvi
