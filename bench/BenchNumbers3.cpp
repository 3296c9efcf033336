#include "BenchViews.h"
#include "HistoryFixture.h"
#include "engine/Numbers3Engine.h"
#include "support/LiteralNumbers3Engine.h"

#include <benchmark/benchmark.h>

namespace {

template <typename Engine, typename View>
void runNumbers3(benchmark::State& state, int tag)
{
    tolvi::RunRequest request;
    request.tag = tag;
    request.historyPath = tolvi::bench::historyOfLength(int(state.range(0)));
    // One view for all runs, keeping its storage like the window's lists do from run to run.
    View view;
    for (auto _ : state) {
        view.stats.clear();
        Engine().run(request, view);
        benchmark::DoNotOptimize(view.rows.data());
    }
}

void BM_Numbers3Run(benchmark::State& state)
{
    runNumbers3<tolvi::Numbers3Engine, tolvi::bench::ProgressView>(state, tolvi::kPredictionTag);
}
void BM_Numbers3RunLiteral(benchmark::State& state)
{
    runNumbers3<tolvi::test::LiteralNumbers3Engine, tolvi::bench::ProgressView>(state, tolvi::kPredictionTag);
}
void BM_Numbers3Factor(benchmark::State& state)
{
    runNumbers3<tolvi::Numbers3Engine, tolvi::bench::ProgressView>(state, tolvi::kFactorEvaluationTag);
}
void BM_Numbers3FactorLiteral(benchmark::State& state)
{
    runNumbers3<tolvi::test::LiteralNumbers3Engine, tolvi::bench::ProgressView>(state, tolvi::kFactorEvaluationTag);
}

}  // namespace

BENCHMARK(BM_Numbers3Run)->Arg(1281)->Arg(5000)->Arg(9999)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Numbers3RunLiteral)->Arg(1281)->Arg(5000)->Arg(9999)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Numbers3Factor)->Arg(1281)->Arg(5000)->Arg(9999)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Numbers3FactorLiteral)->Arg(1281)->Arg(5000)->Arg(9999)->Unit(benchmark::kMillisecond);
