#include "BenchViews.h"
#include "HistoryFixture.h"
#include "engine/Numbers3Engine.h"
#include "support/LiteralNumbers3Engine.h"

#include <benchmark/benchmark.h>

namespace {

void BM_Numbers3Run(benchmark::State& state)
{
    tolvi::bench::timeRuns<tolvi::Numbers3Engine, tolvi::bench::ProgressView>(state, tolvi::kPredictionTag);
}
void BM_Numbers3RunLiteral(benchmark::State& state)
{
    tolvi::bench::timeRuns<tolvi::test::LiteralNumbers3Engine, tolvi::bench::ProgressView>(state,
                                                                                           tolvi::kPredictionTag);
}
void BM_Numbers3Factor(benchmark::State& state)
{
    tolvi::bench::timeRuns<tolvi::Numbers3Engine, tolvi::bench::ProgressView>(state, tolvi::kFactorEvaluationTag);
}
void BM_Numbers3FactorLiteral(benchmark::State& state)
{
    tolvi::bench::timeRuns<tolvi::test::LiteralNumbers3Engine, tolvi::bench::ProgressView>(state,
                                                                                           tolvi::kFactorEvaluationTag);
}

}  // namespace

BENCHMARK(BM_Numbers3Run)->Arg(1281)->Arg(5000)->Arg(9999)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Numbers3RunLiteral)->Arg(1281)->Arg(5000)->Arg(9999)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Numbers3Factor)->Arg(1281)->Arg(5000)->Arg(9999)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Numbers3FactorLiteral)->Arg(1281)->Arg(5000)->Arg(9999)->Unit(benchmark::kMillisecond);
