#pragma once
// A freshly created main window without Qt: the controls a run writes, with their design
// captions, for the command-line tool.

#include "design/RunCaptions.h"
#include "design/WindowDesign.h"

#include <array>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace tolvi::cli {

class SimulatedWindow : public LabelView {
public:
    explicit SimulatedWindow(Edition edition);

    void clearResults() override { results_.clear(); }
    void show(const RunResult& result, RunPart part) override
    {
        LabelView::show(result, part);
        shown_[std::size_t(part)] = true;
    }
    void addResult(ResultRow row) override { results_.push_back(std::move(row)); }
    void addStats(StatsRow row) override { stats_.push_back(std::move(row)); }
    void setText(RunControl label, std::string text) override { texts_[std::size_t(label)] = std::move(text); }
    void setVisible(RunControl control, bool visible) override { visible_[std::size_t(control)] = visible; }
    void openPanel(RunControl panel) override { setVisible(panel, true); }
    void disableCommands() override { commandsEnabled_ = false; }
    bool showsProgress() const override { return false; }

    const std::vector<ResultRow>& results() const { return results_; }

    // {"list", "stats", "labels", "visible", "error"} as the tool prints it.
    nlohmann::ordered_json toJson(const std::string* error) const;
    // What a person reads in the window, in Japanese: the result list (its last `rows` rows, all
    // of them when negative), the statistics rows of a factor evaluation, the hit counts and
    // amounts, the payout panel and the hit panel when they are open; captions no run wrote stay out.
    std::string toText(const std::string* error, int rows = -1) const;

private:
    Edition edition_;
    std::vector<ResultRow> results_;
    std::vector<StatsRow> stats_;
    std::array<std::string, kRunControlCount> texts_;
    std::array<bool, kRunControlCount> visible_ {};
    std::array<bool, kRunParts.size()> shown_ {};  // by RunPart: the parts the run has shown
    bool commandsEnabled_ = true;
};

}  // namespace tolvi::cli
