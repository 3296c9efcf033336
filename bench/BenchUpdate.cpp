#include "history/DrawRecord.h"
#include "history/HistoryFile.h"
#include "history/HistoryReader.h"
#include "results/HistoryImport.h"
#include "results/ResultsCsv.h"
#include "support/PublishedResults.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

const std::filesystem::path kData = std::filesystem::path(TOLVI_SOURCE_DIR) / "data";
constexpr int kHistoryLast = 7000;    // the history a user catches up from
constexpr int kPublishedLast = 7054;  // the newest draw the sources have, and the calendar's at TOLVI_NOW

// The shipped history's records up to `last`, with its end mark.
std::string shippedHistoryUpTo(int last)
{
    const std::string bytes = tolvi::readImportSource((kData / "Numbers.dat").string());
    std::string kept;
    for (std::size_t i = 0; i < tolvi::HistoryReader::recordCount(bytes); ++i) {
        const tolvi::DrawRecord record = tolvi::HistoryReader::recordAt(bytes, i);
        if (!record.isComment() && record.drawNumber() > last)
            break;
        kept.append(bytes, i * tolvi::kRecordSize, tolvi::kRecordSize);
    }
    return kept + "\x1A";
}

// The real draws as the publisher's files would give them: the shipped results of both games.
struct ShippedResults {
    std::string numbers3Csv = tolvi::readImportSource((kData / "numbers3-results.csv").string());
    std::string numbers4Csv = tolvi::readImportSource((kData / "numbers4-results.csv").string());
    tolvi::ResultsSource numbers3 = tolvi::parseResultsCsv(numbers3Csv, "numbers3-results.csv");
    tolvi::ResultsSource numbers4 = tolvi::parseResultsCsv(numbers4Csv, "numbers4-results.csv");

    tolvi::HistoryAppender::Draw operator()(int draw) const
    {
        const tolvi::GameResult& n3 = numbers3.numbers3.at(draw);
        const tolvi::GameResult& n4 = numbers4.numbers4.at(draw);
        tolvi::HistoryAppender::Draw results;
        results.numbers3 = n3.number;
        std::copy_n(n3.prizes.begin(), results.numbers3Prizes.size(), results.numbers3Prizes.begin());
        results.numbers4 = n4.number;
        std::copy_n(n4.prizes.begin(), results.numbers4Prizes.size(), results.numbers4Prizes.begin());
        return results;
    }
};

// The tolvi process bringing the shipped history, cut after draw 7000, up to draw 7054 (54 draws)
// from a publisher and a mirror on a local server, without the publisher's pause: the publisher's
// files made from the shipped results in its layout, the mirror serving the shipped results files
// as they are. Timed from the spawn to the exit; counters: the requests a run makes, the process's
// CPU time (user and system) and its peak resident memory.
void BM_UpdateProcess(benchmark::State& state, const char* from)
{
    static const ShippedResults shipped;
    static const std::string history = shippedHistoryUpTo(kHistoryLast);
    tolvi::test::PublishedSources sources;
    sources.publish(kHistoryLast + 1, kPublishedLast, std::cref(shipped));
    sources.server.serve("/mirror/numbers3_results_v2.csv", tolvi::test::HttpReply::page(shipped.numbers3Csv));
    sources.server.serve("/mirror/numbers4_results_v2.csv", tolvi::test::HttpReply::page(shipped.numbers4Csv));
    const tolvi::UpdateSettings settings = sources.settings();
    ::setenv("TOLVI_PUBLISHER_URL", settings.publisherUrl.c_str(), 1);
    ::setenv("TOLVI_MIRROR_URL", settings.mirrorUrl.c_str(), 1);
    ::setenv("TOLVI_NOW", "2026-08-21T21:30", 1);  // the evening of draw 7054
    ::setenv("TOLVI_PUBLISHER_PAUSE_MS", "0", 1);
    ::setenv("LANG", "C", 1);
    ::setenv("LC_ALL", "C", 1);

    const tolvi::test::TempDir dir;
    const std::string folder = dir.path().string();
    char* const argv[] = {const_cast<char*>("tolvi"),
                          const_cast<char*>("update"),
                          const_cast<char*>("--dir"),
                          const_cast<char*>(folder.c_str()),
                          const_cast<char*>("--from"),
                          const_cast<char*>(from),
                          nullptr};
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    const std::string expected = shippedHistoryUpTo(kPublishedLast);
    long peakKb = 0;
    double cpuMs = 0;
    for (auto _ : state) {
        dir.write("Numbers.dat", history);
        std::filesystem::remove(dir.file("update-status.json"));
        const auto start = std::chrono::steady_clock::now();
        pid_t child = 0;
        int status = 0;
        rusage usage {};
        if (posix_spawn(&child, TOLVI_CLI_PATH, &quiet, nullptr, argv, environ) != 0 ||
            ::wait4(child, &status, 0, &usage) != child) {
            state.SkipWithError("tolvi could not be started");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        peakKb = std::max(peakKb, usage.ru_maxrss);
        for (const timeval& spent : {usage.ru_utime, usage.ru_stime})
            cpuMs += double(spent.tv_sec) * 1e3 + double(spent.tv_usec) / 1e3;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || dir.read("Numbers.dat") != expected) {
            state.SkipWithError("tolvi update did not bring the history to draw 7054");
            break;
        }
    }
    posix_spawn_file_actions_destroy(&quiet);
    state.counters["requests"] =
        benchmark::Counter(double(sources.server.requests().size()), benchmark::Counter::kAvgIterations);
    state.counters["peak_MB"] = double(peakKb) / 1024;
    state.counters["process_cpu_ms"] = benchmark::Counter(cpuMs, benchmark::Counter::kAvgIterations);
}

}  // namespace

BENCHMARK_CAPTURE(BM_UpdateProcess, both, "both")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_UpdateProcess, publisher, "publisher")->UseManualTime()->Unit(benchmark::kMillisecond);
