#pragma once
// A freshly created main window without Qt: the controls a run writes, with their design
// captions, for the command-line tool.

#include "engine/RunView.h"
#include "design/WindowDesign.h"

#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace tolvi::cli {

class SimulatedWindow : public RunView {
public:
    explicit SimulatedWindow(Edition edition);

    void clearResults() override { results_.clear(); }
    void addResult(ResultRow row) override { results_.push_back(std::move(row)); }
    void addStats(StatsRow row) override { stats_.push_back(std::move(row)); }
    void setText(std::string_view control, std::string text) override;
    void setVisible(std::string_view control, bool visible) override;
    void openPanel(std::string_view panel) override;
    void disableCommands() override { commandsEnabled_ = false; }
    bool showsProgress() const override { return false; }

    // {"list", "stats", "labels", "visible", "error"} as the tool prints it.
    nlohmann::ordered_json toJson(const std::string* error) const;
    // The same for a person: the list as a table, then the labels.
    std::string toText(const std::string* error) const;

private:
    Edition edition_;
    std::vector<ResultRow> results_;
    std::vector<StatsRow> stats_;
    std::map<std::string, std::string, std::less<>> labels_;
    std::map<std::string, bool, std::less<>> visible_;
    bool commandsEnabled_ = true;
};

}  // namespace tolvi::cli
