// The analyses of both games over the shipped history (7,054 draws): every view, the tests and
// their correction, and the popularity, as `tolvi analyze` and the analysis window compute them.

#include "analysis/DrawAnalysis.h"
#include "analysis/Popularity.h"
#include "history/HistoryReader.h"

#include <benchmark/benchmark.h>

namespace {

const std::string& shippedHistory()
{
    static const std::string content =
        tolvi::HistoryReader::readContent(std::filesystem::path(TOLVI_SOURCE_DIR) / "data/Numbers.dat");
    return content;
}

// Both games, every draw: what the 50 ms target covers (reading the file included).
void BM_AnalyzeBothGames(benchmark::State& state)
{
    for (auto _ : state)
        for (const tolvi::Game game : tolvi::kGames) {
            const tolvi::DrawSeries series = tolvi::drawsOf(shippedHistory(), game);
            benchmark::DoNotOptimize(tolvi::analyzeDraws(game, series.draws));
            benchmark::DoNotOptimize(tolvi::analyzePopularity(series, tolvi::DrawRange::all()));
        }
}
BENCHMARK(BM_AnalyzeBothGames)->Unit(benchmark::kMillisecond);

void BM_AnalyzeNumbers4(benchmark::State& state)
{
    const tolvi::DrawSeries series = tolvi::drawsOf(shippedHistory(), tolvi::Game::Numbers4);
    for (auto _ : state)
        benchmark::DoNotOptimize(tolvi::analyzeDraws(tolvi::Game::Numbers4, series.draws));
}
BENCHMARK(BM_AnalyzeNumbers4)->Unit(benchmark::kMillisecond);

void BM_PopularityNumbers4(benchmark::State& state)
{
    const tolvi::DrawSeries series = tolvi::drawsOf(shippedHistory(), tolvi::Game::Numbers4);
    for (auto _ : state)
        benchmark::DoNotOptimize(tolvi::analyzePopularity(series, tolvi::DrawRange::all()));
}
BENCHMARK(BM_PopularityNumbers4)->Unit(benchmark::kMillisecond);

}  // namespace
