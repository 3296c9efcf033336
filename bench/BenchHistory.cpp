#include "HistoryFixture.h"
#include "history/HistoryReader.h"

#include <benchmark/benchmark.h>

namespace {

void BM_ReadHistory(benchmark::State& state)
{
    const auto& path = tolvi::bench::historyOfLength(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(tolvi::HistoryReader::readRecords(path));
}

}  // namespace

BENCHMARK(BM_ReadHistory)->Arg(1281)->Arg(5000)->Arg(9999)->Unit(benchmark::kMicrosecond);
