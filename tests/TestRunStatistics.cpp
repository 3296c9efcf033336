#include "engine/RunStatistics.h"

#include "base/NumberFormat.h"
#include "engine/MiniEngine.h"
#include "engine/Numbers3Engine.h"
#include "engine/RunTotals.h"
#include "history/DrawRecord.h"

#include "support/HistoryRecords.h"
#include "support/RandomHistory.h"
#include "support/RecordingView.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <numeric>

using namespace tolvi;
using namespace tolvi::test;

namespace {

struct EditionCase {
    const char* name;
    Edition edition;
    std::function<std::unique_ptr<PredictionEngine>()> engine;
};
const EditionCase kCases[] = {
    {"Numbers3", Edition::Numbers3, [] { return std::make_unique<Numbers3Engine>(); }},
    {"Mini", Edition::Mini, [] { return std::make_unique<MiniEngine>(); }},
};

// What one ticket would win on `record` on average, counted over every number it could be.
double bruteForceTicket(Edition edition, const DrawRecord& record)
{
    const std::string_view w = record.winningNumber();
    std::string sortedWinning(w);
    std::sort(sortedWinning.begin(), sortedWinning.end());
    std::int64_t sum = 0;
    for (int n = 0; n < 1000; ++n) {
        std::string number = formatInt(n, 3, 3);
        if (edition == Edition::Mini) {
            sum += number.substr(1) == w.substr(1) ? record.prize(kMiniPrizeColumn) : 0;
            continue;
        }
        sum += number == w ? record.prize(kStraightPrizeColumn) : 0;
        std::sort(number.begin(), number.end());
        sum += number == sortedWinning ? record.prize(kBoxPrizeColumn) : 0;
    }
    return double(sum) / 1000.0;
}

}  // namespace

TEST(RunStatistics, ExpectationIsTheAverageOverEveryNumberAndTheTotalsAreThePanels)
{
    for (const EditionCase& g : kCases) {
        for (const std::uint32_t seed : {1u, 2u, 3u}) {
            SCOPED_TRACE(std::string(g.name) + " seed " + std::to_string(seed));
            TempDir dir;
            RandomHistoryOptions options;
            options.records = 300;
            options.seed = seed;
            options.noResultShare = 0;  // a draw without a result adds spend but no entry
            const std::string history = randomHistory(options);
            RunRequest request;
            request.historyPath = dir.write("Numbers.dat", history);

            const RunStatistics s = collectStatistics(*g.engine(), g.edition, request);
            double expected = 0;
            std::size_t entry = 0;
            for (const DrawRecord& record : splitRecords(history)) {
                if (record.isComment())
                    continue;
                const std::int64_t previousSpend = entry == 0 ? 0 : s.spend[entry - 1];
                const std::int64_t tickets =
                    g.edition == Edition::Numbers3 ? 4 : (s.spend[entry] - previousSpend) / 200;
                expected += double(tickets) * bruteForceTicket(g.edition, record);
                ASSERT_EQ(s.draw[entry], record.drawNumber());
                EXPECT_NEAR(s.expected[entry], expected, 1e-6);
                ++entry;
            }
            ASSERT_EQ(entry, s.draw.size());

            RecordingView view;
            g.engine()->run(request, view);
            EXPECT_EQ(view.text("Label10"), formatGrouped(s.won.back(), 12, ","));
            EXPECT_EQ(view.text("Label14"),
                      formatInt(paybackRate(std::int32_t(s.won.back()), s.spend.back()).value_or(0), 3));
        }
    }
}

TEST(RunStatistics, TheBandIsTheSameEveryTimeAndHoldsTheExpectation)
{
    TempDir dir;
    RunRequest request;
    request.historyPath = dir.write("Numbers.dat", randomHistory({}));
    for (const EditionCase& g : kCases) {
        const RunStatistics first = collectStatistics(*g.engine(), g.edition, request);
        const RunStatistics second = collectStatistics(*g.engine(), g.edition, request);
        EXPECT_EQ(first.bandLow, second.bandLow) << g.name;
        EXPECT_EQ(first.bandHigh, second.bandHigh) << g.name;
        EXPECT_LT(first.bandLow.back(), first.expected.back()) << g.name;
        EXPECT_GT(first.bandHigh.back(), first.expected.back()) << g.name;
        // Digit counts: every draw once per place; the last hundred at most a hundred.
        for (std::size_t place = 0; place < first.digitsAll.size(); ++place) {
            const auto& all = first.digitsAll[place];
            const auto& recent = first.digitsLast100[place];
            EXPECT_EQ(std::size_t(std::accumulate(all.begin(), all.end(), 0)), first.draw.size()) << g.name;
            EXPECT_EQ(std::accumulate(recent.begin(), recent.end(), 0), 100) << g.name;
        }
    }
}
