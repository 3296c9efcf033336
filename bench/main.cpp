// tolvi_bench [Google Benchmark options]      the benchmarks
// tolvi_bench --write-history N FILE          writes the generated history of N records that the
//                                             benchmarks use, for timing the programs on it

#include "HistoryFixture.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "--write-history") == 0) {
        if (argc != 4 || std::atoi(argv[2]) <= 0) {
            std::fprintf(stderr, "usage: tolvi_bench --write-history RECORDS FILE\n");
            return 2;
        }
        const std::string bytes = tolvi::bench::generatedHistory(std::atoi(argv[2]));
        std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        out.close();
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", argv[3]);
            return 1;
        }
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
