#pragma once
// What a prediction run shows, as the window (or the command-line tool) receives it.

#include <array>
#include <string>
#include <string_view>

namespace tolvi {

// The controls a run writes besides the two lists, by their names in the window's design: the
// labels of the summary, the payout panel and the hit panel, and the two panels it opens.
enum class RunControl {
    Label4, Label5, Label6, Label7, Label8, Label9, Label10, Label14, Label16,
    Label17, Label18, Label19, Label20, Label23, Label26, Label27, Label43,
    GetPanel, GetPanel2,
};
inline constexpr std::size_t kRunControlCount = 19;

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
    virtual void setText(RunControl label, std::string text) = 0;
    virtual void setVisible(RunControl label, bool visible) = 0;
    // Enables, then shows the panel (GetPanel or GetPanel2).
    virtual void openPanel(RunControl panel) = 0;
    // Disables Button1, N1, EditMenu and Setting, in that order.
    virtual void disableCommands() = 0;

    // Whether the view shows what happens during a run (the window) or only the state a run
    // leaves behind (the command-line tool). A view that shows only the end lets the engine
    // skip the rows and captions that a later pass or record replaces anyway.
    virtual bool showsProgress() const { return true; }
};

}  // namespace tolvi
