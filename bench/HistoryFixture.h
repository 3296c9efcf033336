#pragma once
// A generated history of a given length written to a temporary Numbers.dat, shared by the
// benchmarks of one length.

#include "engine/PredictionEngine.h"
#include "support/RandomHistory.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace tolvi::bench {

// Uniform random digits, prizes in the ranges real draws pay, a few comment and "---" records;
// the same bytes for the same length on every machine (the length is the seed).
inline std::string generatedHistory(int records)
{
    test::RandomHistoryOptions options;
    options.records = records;
    options.seed = std::uint32_t(records);
    return test::randomHistory(options);
}

inline const std::filesystem::path& historyOfLength(int records)
{
    static std::map<int, std::unique_ptr<test::TempDir>> folders;
    static std::map<int, std::filesystem::path> paths;
    auto& folder = folders[records];
    if (!folder) {
        folder = std::make_unique<test::TempDir>();
        paths[records] = folder->write("Numbers.dat", generatedHistory(records));
    }
    return paths[records];
}

// Times whole runs of `Engine` in mode `tag` on the generated history of state.range(0) records.
// One view serves all runs, keeping its storage as the window's lists do from run to run.
template <typename Engine, typename View>
void timeRuns(benchmark::State& state, int tag)
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
