#pragma once
// Views for timing runs: one that keeps only what a run leaves behind (like the tool's
// simulated window) and one that takes every update as the window does.

#include "engine/RunView.h"

#include <vector>

namespace tolvi::bench {

class EndStateView : public RunView {
public:
    void clearResults() override { rows.clear(); }
    void addResult(ResultRow row) override { rows.push_back(std::move(row)); }
    void addStats(StatsRow row) override { stats.push_back(std::move(row)); }
    void setText(std::string_view, std::string) override {}
    void setVisible(std::string_view, bool) override {}
    void openPanel(std::string_view) override {}
    void disableCommands() override {}
    bool showsProgress() const override { return false; }

    std::vector<ResultRow> rows;
    std::vector<StatsRow> stats;
};

class ProgressView : public EndStateView {
public:
    bool showsProgress() const override { return true; }
};

}  // namespace tolvi::bench
