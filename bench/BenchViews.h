#pragma once
// Views for timing runs: one that keeps only what a run leaves behind (like the tool's
// simulated window) and one that takes every update as the window does.

#include "HistoryFixture.h"
#include "design/RunCaptions.h"
#include "engine/PredictionEngine.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace tolvi::bench {

class EndStateView : public LabelView {
public:
    void clearResults() override { rows.clear(); }
    void addResult(ResultRow row) override { rows.push_back(std::move(row)); }
    void addStats(StatsRow row) override { stats.push_back(std::move(row)); }
    void setText(RunControl, std::string) override { }
    void setVisible(RunControl, bool) override { }
    void openPanel(RunControl) override { }
    void disableCommands() override { }
    bool showsProgress() const override { return false; }

    std::vector<ResultRow> rows;
    std::vector<StatsRow> stats;
};

class ProgressView : public EndStateView {
public:
    bool showsProgress() const override { return true; }
};

// Times whole runs of `Engine` in mode `tag` on the generated history of state.range(0) records.
// One view serves all runs, keeping its storage as the window's lists do from run to run.
template <typename Engine, typename View> void timeRuns(benchmark::State& state, int tag)
{
    RunRequest request;
    request.tag = tag;
    request.historyPath = historyOfLength(int(state.range(0)));
    View view;
    for (auto _ : state) {
        view.stats.clear();
        Engine().run(request, view);
        benchmark::DoNotOptimize(view.rows.data());
    }
}

}  // namespace tolvi::bench
