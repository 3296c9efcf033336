#include "BenchViews.h"
#include "HistoryFixture.h"
#include "engine/MiniEngine.h"
#include "support/LiteralMiniEngine.h"

#include <benchmark/benchmark.h>

namespace {

using tolvi::MiniEngine;
using tolvi::bench::EndStateView;
using tolvi::bench::ProgressView;
using tolvi::test::LiteralMiniEngine;

void BM_MiniRun(benchmark::State& state)
{
    tolvi::bench::timeRuns<MiniEngine, ProgressView>(state, tolvi::kPredictionTag);
}
void BM_MiniRunLiteral(benchmark::State& state)
{
    tolvi::bench::timeRuns<LiteralMiniEngine, ProgressView>(state, tolvi::kPredictionTag);
}
// 1000 passes, as the tool runs them: only the last pass is shown.
void BM_MiniFactor(benchmark::State& state)
{
    tolvi::bench::timeRuns<MiniEngine, EndStateView>(state, tolvi::kFactorEvaluationTag);
}
void BM_MiniFactorLiteral(benchmark::State& state)
{
    tolvi::bench::timeRuns<LiteralMiniEngine, ProgressView>(state, tolvi::kFactorEvaluationTag);
}
// 1000 passes, as the window runs them: every pass's rows are shown.
void BM_MiniFactorShown(benchmark::State& state)
{
    tolvi::bench::timeRuns<MiniEngine, ProgressView>(state, tolvi::kFactorEvaluationTag);
}

}  // namespace

BENCHMARK(BM_MiniRun)->Arg(1281)->Arg(5000)->Arg(9999)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MiniRunLiteral)->Arg(1281)->Arg(5000)->Arg(9999)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MiniFactor)->Arg(1281)->Arg(5000)->Arg(9999)->Unit(benchmark::kMillisecond);
// The plain factor evaluation reads the file a thousand times and shows every pass: seconds per
// run, so three runs of each. It stands for both factor evaluations above.
BENCHMARK(BM_MiniFactorLiteral)
    ->Arg(1281)
    ->Arg(5000)
    ->Arg(9999)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(BM_MiniFactorShown)->Arg(1281)->Arg(5000)->Arg(9999)->Unit(benchmark::kMillisecond);
