#include "HistoryFixture.h"
#include "history/DrawRecord.h"
#include "history/HistoryFile.h"
#include "history/HistoryReader.h"
#include "history/HistoryStream.h"
#include "support/HistoryRecords.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <vector>

namespace {

// Every record into a list, as the Mini edition takes it.
void BM_ReadHistory(benchmark::State& state)
{
    const auto& path = tolvi::bench::historyOfLength(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(tolvi::test::readRecords(path));
}

// Every record once through the small buffer, as the Numbers3 pass reads it.
void BM_ReadHistoryStream(benchmark::State& state)
{
    const auto& path = tolvi::bench::historyOfLength(int(state.range(0)));
    for (auto _ : state) {
        tolvi::HistoryStream stream(path);
        std::string_view block;
        std::size_t comments = 0;
        while (stream.next(block))
            comments += tolvi::DrawRecord(block).isComment();
        benchmark::DoNotOptimize(comments);
    }
}

// The plain way: one 87-byte read after the other, a record made of each.
void BM_ReadHistoryLiteral(benchmark::State& state)
{
    const auto& path = tolvi::bench::historyOfLength(int(state.range(0)));
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        std::vector<tolvi::DrawRecord> records;
        char block[tolvi::kRecordSize];
        while (::read(fd, block, sizeof block) == ssize_t(sizeof block))
            records.emplace_back(std::string_view(block, sizeof block));
        ::close(fd);
        benchmark::DoNotOptimize(records.data());
    }
}

}  // namespace

BENCHMARK(BM_ReadHistory)->Arg(1281)->Arg(5000)->Arg(9999)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadHistoryStream)->Arg(1281)->Arg(5000)->Arg(9999)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadHistoryLiteral)->Arg(1281)->Arg(5000)->Arg(9999)->Unit(benchmark::kMicrosecond);
