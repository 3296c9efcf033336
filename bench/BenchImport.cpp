#include "entry/HistoryImport.h"
#include "entry/ResultsCsv.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

const std::filesystem::path kData = std::filesystem::path(TOLVI_SOURCE_DIR) / "data";

// The shipped results files (7,054 draws of each game) read and imported into an empty folder:
// what `tolvi import numbers3-results.csv numbers4-results.csv` does on a first start.
void BM_ImportCompleteHistory(benchmark::State& state)
{
    const std::string numbers3 = tolvi::readImportSource((kData / "numbers3-results.csv").string());
    const std::string numbers4 = tolvi::readImportSource((kData / "numbers4-results.csv").string());
    const tolvi::test::TempDir dir;
    const std::filesystem::path history = dir.file("Numbers.dat");
    for (auto _ : state) {
        std::filesystem::remove(history);
        const std::vector<tolvi::ResultsSource> sources {tolvi::parseResultsCsv(numbers3, "numbers3-results.csv"),
                                                         tolvi::parseResultsCsv(numbers4, "numbers4-results.csv")};
        const tolvi::ImportSummary summary = tolvi::importResults(history, sources, false);
        if (summary.added != 7054)
            state.SkipWithError("the import did not add the whole history");
    }
}

// Parsing alone, the larger part of it.
void BM_ParseResultsCsv(benchmark::State& state)
{
    const std::string numbers3 = tolvi::readImportSource((kData / "numbers3-results.csv").string());
    for (auto _ : state)
        benchmark::DoNotOptimize(tolvi::parseResultsCsv(numbers3, "numbers3-results.csv"));
}

}  // namespace

BENCHMARK(BM_ImportCompleteHistory)->Arg(7054)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseResultsCsv)->Arg(7054)->Unit(benchmark::kMillisecond);
