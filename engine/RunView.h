#pragma once
// What a prediction run shows, as the window (or the command-line tool) receives it.
// Controls are named by their object names: "ListView", "Label16", "GetPanel", ...

#include <array>
#include <string>
#include <string_view>

namespace tolvi {

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
    virtual void setText(std::string_view control, std::string text) = 0;
    virtual void setVisible(std::string_view control, bool visible) = 0;
    // Enables, then shows the panel.
    virtual void openPanel(std::string_view panel) = 0;
    // Disables Button1, N1, EditMenu and Setting, in that order.
    virtual void disableCommands() = 0;

    // Whether the view shows what happens during a run (the window) or only the state a run
    // leaves behind (the command-line tool). A view that shows only the end lets the engine
    // skip the rows and captions that a later pass or record replaces anyway.
    virtual bool showsProgress() const { return true; }
};

}  // namespace tolvi
