#include "analysis/PredictionVerdict.h"

#include "analysis/DrawSeries.h"
#include "base/Errors.h"
#include "base/NumberFormat.h"
#include "base/SplitMix64.h"
#include "history/HistoryReader.h"

#include <boost/math/distributions/binomial.hpp>

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace tolvi {

namespace {

constexpr std::uint64_t kBuyerSeed = 0x566572646963ull;  // "Verdic"

std::int64_t prizeOrZero(const GameDescription& g, const DrawRecord& record, PrizeField field)
{
    try {
        return g.prize(record, field);
    } catch (const ConversionError&) {
        return 0;
    }
}

// What a ticket of every number wins on one draw with the edition's purchase: the few numbers
// that win anything and their prizes.
struct DrawPrizes {
    std::vector<std::pair<int, std::int64_t>> winners;
    double meanPrize = 0;
};

DrawPrizes prizesOf(const EditionDescription& e, const DrawRecord& record, int drawn)
{
    const GameDescription& g = describe(e.game);
    DrawPrizes out;
    std::int64_t total = 0;
    for (int number = 0; number < g.numberSpace; ++number) {
        std::int64_t prize = 0;
        for (const BetKind kind : e.purchase)
            prize += prizeOrZero(g, record, prizeWon(e.game, kind, number, drawn));
        if (prize > 0) {
            out.winners.emplace_back(number, prize);
            total += prize;
        }
    }
    out.meanPrize = double(total) / double(g.numberSpace);
    return out;
}

long hitsOf(const RunStatistics& s, BetKind kind, std::size_t i)
{
    switch (kind) {
    case BetKind::Straight:
    case BetKind::Set: return s.straightHits[i];
    case BetKind::Box: return s.boxHits[i];
    case BetKind::Mini: return s.miniHits[i];
    }
    return 0;
}

}  // namespace

double detectableEdge(long tickets, double p0)
{
    if (tickets <= 0 || p0 <= 0 || p0 >= 1)
        return 0;
    const boost::math::binomial chance(double(tickets), p0);
    // The fewest hits that chance reaches with at most 5 %.
    double critical = std::ceil(boost::math::quantile(boost::math::complement(chance, 0.05)));
    while (critical > 0 && binomialUpperTail(long(critical) - 1, tickets, p0) <= 0.05)
        --critical;
    while (binomialUpperTail(long(critical), tickets, p0) > 0.05)
        ++critical;
    double low = p0, high = 1;
    for (int step = 0; step < 100; ++step) {
        const double middle = (low + high) / 2;
        (binomialUpperTail(long(critical), tickets, middle) >= 0.8 ? high : low) = middle;
    }
    return high / p0 - 1;
}

PredictionVerdict judgePrediction(const RunStatistics& s, Edition edition, std::string_view content,
                                  std::size_t firstIndex)
{
    const EditionDescription& e = describe(edition);
    const GameDescription& g = describe(e.game);
    PredictionVerdict v;
    v.kind = e.purchase.front();
    const int sample = std::min(123, g.numberSpace - 1);  // any number whose digits differ
    int winning = 0;
    for (int number = 0; number < g.numberSpace; ++number)
        winning += prizeWon(e.game, v.kind, number, sample) != PrizeField::None;
    v.hitChance = double(winning) / double(g.numberSpace);

    std::unordered_map<std::int32_t, std::size_t> recordOf;
    const std::size_t records = HistoryReader::recordCount(content);
    for (std::size_t i = 0; i < records; ++i) {
        const DrawRecord record = HistoryReader::recordAt(content, i);
        if (!record.isComment() && record.hasResult())
            recordOf[record.drawNumber()] = i;
    }

    // The tickets of each draw, read back from the exact expectation the statistics hold.
    std::vector<DrawPrizes> prizes;
    std::vector<long> tickets;
    std::vector<std::size_t> indexOf;  // of each kept draw in the statistics
    long lastTickets = 0;
    for (std::size_t i = firstIndex; i < s.draw.size(); ++i) {
        const auto found = recordOf.find(s.draw[i]);
        if (found == recordOf.end())
            continue;
        const DrawRecord record = HistoryReader::recordAt(content, found->second);
        const std::optional<int> drawn = g.winningNumber(record);
        if (!drawn)
            continue;
        DrawPrizes drawPrizes = prizesOf(e, record, *drawn);
        const double expectedHere = s.expected[i] - (i > 0 ? s.expected[i - 1] : 0.0);
        if (drawPrizes.meanPrize > 0)
            lastTickets = std::lround(expectedHere / drawPrizes.meanPrize);
        tickets.push_back(lastTickets);
        indexOf.push_back(i);
        v.tickets += lastTickets;
        v.hits += hitsOf(s, v.kind, i);
        v.expectedWon += double(lastTickets) * drawPrizes.meanPrize;
        prizes.push_back(std::move(drawPrizes));
        if (v.draws++ == 0)
            v.firstDraw = s.draw[i];
        v.lastDraw = s.draw[i];
    }
    if (v.draws == 0)
        return v;
    v.spend = std::int64_t(v.tickets) * e.pricePerCandidate();
    v.won = s.won.back() - (firstIndex > 0 ? s.won[firstIndex - 1] : 0);
    v.expectedHits = double(v.tickets) * v.hitChance;
    v.p = binomialUpperTail(v.hits, v.tickets, v.hitChance);
    v.hitRate = wilsonInterval(v.hits, v.tickets);
    v.detectableEdge = detectableEdge(v.tickets, v.hitChance);

    v.buyers = kSimulatedBuyers;
    SplitMix64 random(kBuyerSeed);
    std::vector<std::int64_t> prizeOf(std::size_t(g.numberSpace), 0);
    std::vector<std::int64_t> buyers(std::size_t(v.buyers), 0), sorted(buyers.size());
    // Nearest rank: the 50th and the 950th of 1,000, as the chart's band.
    const std::size_t low = buyers.size() * 5 / 100 - 1, high = buyers.size() * 95 / 100 - 1;
    long spentTickets = 0;
    double expected = 0;
    for (std::size_t d = 0; d < prizes.size(); ++d) {
        for (const auto& [number, prize] : prizes[d].winners)
            prizeOf[std::size_t(number)] = prize;
        for (std::int64_t& buyer : buyers)
            for (long t = 0; t < tickets[d]; ++t)
                buyer += prizeOf[std::size_t(random.below(g.numberSpace))];
        for (const auto& [number, prize] : prizes[d].winners)
            prizeOf[std::size_t(number)] = 0;
        spentTickets += tickets[d];
        expected += double(tickets[d]) * prizes[d].meanPrize;
        if (spentTickets == 0)
            continue;
        const double percent = 100.0 / (double(spentTickets) * e.pricePerCandidate());
        const std::size_t i = indexOf[d];
        v.drawNumbers.push_back(s.draw[i]);
        v.rate.push_back(double(s.won[i] - (firstIndex > 0 ? s.won[firstIndex - 1] : 0)) * percent);
        v.expectedRate.push_back(expected * percent);
        sorted = buyers;
        std::nth_element(sorted.begin(), sorted.begin() + std::ptrdiff_t(low), sorted.end());
        v.bandLow.push_back(double(sorted[low]) * percent);
        std::nth_element(sorted.begin(), sorted.begin() + std::ptrdiff_t(high), sorted.end());
        v.bandHigh.push_back(double(sorted[high]) * percent);
    }
    v.buyersAtLeast = int(std::count_if(buyers.begin(), buyers.end(), [&](std::int64_t b) { return b >= v.won; }));
    return v;
}

std::size_t firstIndexIn(const RunStatistics& statistics, DrawRange range)
{
    DrawSeries series;
    for (const std::int32_t draw : statistics.draw)
        series.draws.push_back({draw, 0, 0});
    return statistics.draw.size() - select(series, range).size();
}

std::string verdictCaption(const PredictionVerdict& v)
{
    if (v.draws == 0)
        return "結果のある回がないため、判定できません。";
    std::string text = "でたらめに買った " + formatGrouped(v.buyers, 0, ",") + " 人のうち " +
                       formatGrouped(v.buyersAtLeast, 0, ",") + " 人がこの回収率以上でした。";
    text += describe(v.kind).name + std::string("の当たり ") + formatGrouped(v.hits, 0, ",") + " 回 (偶然なら " +
            formatFixed(v.expectedHits, 1) + " 回、p = " + formatFixed(v.p, 3) + ")。";
    text += "この期間で見分けられるのは、当たる確率が " + formatFixed(v.detectableEdge * 100, 0) +
            "％ 以上高い場合だけです。";
    return text;
}

}  // namespace tolvi
