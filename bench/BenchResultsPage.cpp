#include "entry/ResultsPageParser.h"
#include "support/ResultsPages.h"
#include "transport/ShiftJis.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

// A month of Numbers3 results behind notices, 60 KB in all; the draw looked up is the month's
// last, so the key search crosses the whole page.
std::string monthPage(std::size_t bytes)
{
    std::vector<tolvi::test::DrawResult> draws;
    for (int draw = 5001; draw <= 5020; ++draw)
        draws.push_back(tolvi::test::numbers3Draw(draw, std::to_string(draw % 1000)));
    const std::string full = tolvi::test::resultsPage(3, "2019年3月", draws);
    tolvi::test::PageStyle style;
    style.leadingBytes = bytes > full.size() ? bytes - full.size() : 0;
    return tolvi::test::resultsPage(3, "2019年3月", draws, style);
}

void BM_ResultsPageParse(benchmark::State& state)
{
    const std::string page = monthPage(std::size_t(state.range(0)));
    const std::string key = tolvi::toShiftJis("第5020回");
    state.counters["page_bytes"] = double(page.size());
    for (auto _ : state) {
        const tolvi::ResultsPageParser parser(page);
        const auto at = parser.find(key);
        if (!at || !parser.isComplete())
            state.SkipWithError("the draw is not on the page");
        benchmark::DoNotOptimize(parser.parse(tolvi::PageKind::Numbers3, *at));
    }
}

}  // namespace

BENCHMARK(BM_ResultsPageParse)->Arg(60000)->Unit(benchmark::kMicrosecond);
