#include "results/HistoryImport.h"
#include "results/ResultsCsv.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>

#include <exception>
#include <filesystem>
#include <sys/resource.h>

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

// Peak memory of reading and parsing the largest source the size limit lets in (64 MiB) made of
// nothing but separators: after the header (Arg 0: rows of 1,000 commas) or before it (Arg 1:
// one line of commas where the header should be). Run alone, so that the process's peak is
// this benchmark's: tolvi_bench --benchmark_filter=ImportSeparatorsMemory.
void BM_ImportSeparatorsMemory(benchmark::State& state)
{
    constexpr std::size_t kSize = std::size_t(64) << 20;
    const std::string header = "draw_no,winning_number,straight_payout,box_payout,set_straight_payout,set_box_payout\n";
    std::string csv;
    csv.reserve(kSize);
    if (state.range(0) == 0) {
        csv = header;
        const std::string row = std::string(1000, ',') + "\n";
        while (csv.size() + row.size() <= kSize - 1)
            csv += row;
    } else {
        csv = std::string(kSize - header.size() - 1, ',') + "\n" + header;
    }
    const tolvi::test::TempDir dir;
    const std::filesystem::path source = dir.write("separators.csv", csv);
    csv = std::string();
    csv.shrink_to_fit();
    for (auto _ : state) {
        try {
            benchmark::DoNotOptimize(
                tolvi::parseResultsCsv(tolvi::readImportSource(source.string()), "separators.csv"));
        } catch (const std::exception&) {
            // A refusal is as good an end as a result; the memory it took is what is measured.
        }
    }
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MiB"] = double(usage.ru_maxrss) / 1024.0;
}

BENCHMARK(BM_ImportSeparatorsMemory)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);
