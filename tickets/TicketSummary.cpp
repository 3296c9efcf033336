#include "tickets/TicketSummary.h"

#include "base/SplitMix64.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>

namespace tolvi {

namespace {

// How many different numbers have the digits of `number`: 6, 3 or 1 in Numbers3; up to 24 in
// Numbers4.
int orderings(int number, int digits)
{
    std::array<int, 10> counts {};
    for (int i = 0; i < digits; ++i, number /= 10)
        ++counts[std::size_t(number % 10)];
    int result = 1;
    for (int i = 2; i <= digits; ++i)
        result *= i;
    for (const int count : counts)
        for (int i = 2; i <= count; ++i)
            result /= i;
    return result;
}

// Numbers a box or set can be bought on: all but the ten with one digit repeated.
int boxableNumbers(Game game)
{
    return describe(game).numberSpace - 10;
}

// What a uniformly random ticket of `kind` can win on `record`, per 口: each prize with its
// probability. A box or set buyer chooses among the numbers that can be bought so; on a triple
// they win nothing.
struct Chance {
    double probability = 0;
    std::int64_t prize = 0;
};
using Chances = std::array<Chance, 2>;

Chances chancesOf(Game game, BetKind kind, const DrawRecord& record)
{
    const GameDescription& g = describe(game);
    const std::optional<int> drawn = g.winningNumber(record);
    if (!drawn)
        return {};
    const bool triple = allDigitsSame(game, *drawn);
    const double boxable = boxableNumbers(game);
    const int ways = orderings(*drawn, g.digits);
    switch (kind) {
    case BetKind::Straight: return {{{1.0 / g.numberSpace, g.prize(record, PrizeField::Straight)}}};
    case BetKind::Box: return triple ? Chances {} : Chances {{{ways / boxable, g.prize(record, PrizeField::Box)}}};
    case BetKind::Set:
        return triple ? Chances {}
                      : Chances {{{1 / boxable, g.prize(record, PrizeField::SetStraight)},
                                  {(ways - 1) / boxable, g.prize(record, PrizeField::SetBox)}}};
    case BetKind::Mini: return {{{1.0 / 100, g.prize(record, PrizeField::Mini)}}};
    }
    return {};
}

// Adds what one ticket draw of `kuchi` 口 brings each simulated buyer. Only the few buyers who win
// are visited: the gap to the next winner is geometric, then the prize is chosen by its share.
void addRandomBuyers(std::vector<std::int64_t>& buyers, const Chances& chances, int kuchi, SplitMix64& random)
{
    const double any = chances[0].probability + chances[1].probability;
    if (any <= 0)
        return;
    const double logMiss = std::log1p(-std::min(any, 1.0 - 1e-12));
    for (double at = std::floor(std::log(random.unit()) / logMiss); at < double(buyers.size());
         at += 1 + std::floor(std::log(random.unit()) / logMiss)) {
        const Chance& won = random.unit() * any <= chances[0].probability ? chances[0] : chances[1];
        buyers[std::size_t(at)] += kuchi * won.prize;
    }
}

std::string periodOf(std::int32_t draw, LedgerPeriod by)
{
    const std::string iso = isoDate(drawDate(draw));
    return by == LedgerPeriod::Month ? iso.substr(0, 7) : iso.substr(0, 4);
}

}  // namespace

double expectationPerKuchi(Game game, BetKind kind, const DrawRecord& record)
{
    double sum = 0;
    for (const Chance& chance : chancesOf(game, kind, record))
        sum += chance.probability * double(chance.prize);
    return sum;
}

LedgerSummary summarize(const std::vector<Ticket>& tickets, const DrawIndex& index, LedgerPeriod by, bool withBand)
{
    LedgerSummary summary;
    std::map<std::string, PeriodTotals> periods;
    std::unordered_map<std::int32_t, std::string> periodNames;  // the calendar asked once a draw
    // The settled draws in draw order, for the curve and the band.
    std::map<std::int32_t, std::vector<std::pair<Chances, int>>> stakes;   // with the 口
    std::map<std::int32_t, std::pair<std::int64_t, std::int64_t>> byDraw;  // spent, won
    std::map<std::int32_t, double> expectedByDraw;
    for (const Ticket& ticket : tickets) {
        const std::int64_t cost = std::int64_t(describe(ticket.game).ticketPrice) * ticket.kuchi;
        for (const DrawResult& result : settle(ticket, index)) {
            std::string& name = periodNames[result.draw];
            if (name.empty())
                name = periodOf(result.draw, by);
            PeriodTotals& period = periods[name];
            if (result.status == DrawStatus::Pending || result.status == DrawStatus::NoResult) {
                summary.total.unsettled += cost;
                period.unsettled += cost;
                continue;
            }
            period.spent += cost;
            period.won += result.prize;
            auto& draw = byDraw[result.draw];
            draw.first += cost;
            draw.second += result.prize;
            const DrawRecord& record = *index.find(result.draw);
            expectedByDraw[result.draw] += ticket.kuchi * expectationPerKuchi(ticket.game, ticket.kind, record);
            if (withBand)
                stakes[result.draw].emplace_back(chancesOf(ticket.game, ticket.kind, record), ticket.kuchi);
        }
    }
    for (auto& [name, period] : periods) {
        period.period = name;
        summary.periods.push_back(period);
    }

    SplitMix64 random(kTicketBandSeed);
    std::vector<std::int64_t> buyers(withBand ? kTicketBuyers : 0, 0), sorted;
    // Nearest rank: the 50th and the 950th of 1,000 sums.
    const std::size_t low = std::size_t(kTicketBuyers) * 5 / 100 - 1;
    const std::size_t high = std::size_t(kTicketBuyers) * 95 / 100 - 1;
    LedgerPoint point;
    for (const auto& [draw, money] : byDraw) {
        point.draw = draw;
        point.spent += money.first;
        point.won += money.second;
        point.expected += expectedByDraw[draw];
        if (withBand) {
            for (const auto& [chances, kuchi] : stakes[draw])
                addRandomBuyers(buyers, chances, kuchi, random);
            sorted = buyers;
            std::nth_element(sorted.begin(), sorted.begin() + std::ptrdiff_t(low), sorted.end());
            point.bandLow = double(sorted[low]);
            std::nth_element(sorted.begin(), sorted.begin() + std::ptrdiff_t(high), sorted.end());
            point.bandHigh = double(sorted[high]);
        }
        summary.curve.push_back(point);
    }
    summary.total.spent = point.spent;
    summary.total.won = point.won;
    summary.total.expected = point.expected;
    summary.total.bandLow = point.bandLow;
    summary.total.bandHigh = point.bandHigh;
    return summary;
}

}  // namespace tolvi
