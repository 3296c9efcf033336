#pragma once
// How the prediction did against pure chance, as plainly as the figures allow: its hits against
// their expectation (one-sided binomial p-value, Wilson interval), the share of simulated random
// buyers of the same tickets who did at least as well in yen, and the smallest edge this history
// could have shown at all.

#include "analysis/ChanceTests.h"
#include "analysis/DrawSeries.h"
#include "engine/RunStatistics.h"
#include "games/Editions.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tolvi {

struct PredictionVerdict {
    BetKind kind = BetKind::Straight;  // the bet whose hits are counted: the edition's first purchase
    long draws = 0;
    std::int32_t firstDraw = 0, lastDraw = 0;
    long tickets = 0;                  // candidates bought over the range
    long hits = 0;
    double hitChance = 0;              // of one ticket under chance
    double expectedHits = 0;
    double p = 1;                      // P(at least `hits`) under chance
    Interval hitRate;                  // 95 % Wilson interval of hits / tickets
    std::int64_t spend = 0, won = 0;   // yen over the range, every purchase kind
    double expectedWon = 0;
    int buyers = 0;                    // simulated random buyers of the same tickets
    int buyersAtLeast = 0;             // of them, who won at least `won`
    double detectableEdge = 0;         // smallest relative rise of the hit chance found with 80 % power

    // Draw by draw over the range, as percentages of the yen spent from its start: the
    // prediction's payback, its exact expectation under chance and the band in which the middle
    // 90 % of the simulated buyers lie.
    std::vector<std::int32_t> drawNumbers;
    std::vector<double> rate, expectedRate, bandLow, bandHigh;
};

// `statistics` is the replay of `edition` over the history whose bytes are `content`; the verdict
// covers its entries from `firstIndex` on. The buyers are drawn from a fixed seed.
PredictionVerdict judgePrediction(const RunStatistics& statistics, Edition edition, std::string_view content,
                                  std::size_t firstIndex = 0);

// "でたらめに買った 1,000 人のうち 123 人がこの回収率以上でした" and what the hits say.
std::string verdictCaption(const PredictionVerdict& verdict);

// The index of the first entry of `statistics` inside `range`, read as the analyses read ranges.
std::size_t firstIndexIn(const RunStatistics& statistics, DrawRange range);

// The smallest hit chance p1 > p0 that `tickets` tickets find at one-sided 5 % with 80 % power,
// as p1 / p0 - 1.
double detectableEdge(long tickets, double p0);

}  // namespace tolvi
