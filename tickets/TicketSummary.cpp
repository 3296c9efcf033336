#include "tickets/TicketSummary.h"

#include <algorithm>
#include <map>

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

// SplitMix64, as the prediction's band: small and the same on every platform.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    int below(int n)
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        return int(((z >> 32) * std::uint64_t(n)) >> 32);
    }

private:
    std::uint64_t state_;
};

// One settled ticket draw, as the band needs it.
struct Stake {
    Game game;
    BetKind kind;
    int kuchi;
    int drawn;
    std::array<std::int64_t, 6> prizes;  // per PrizeField, per 口
};

// A random number `kind` can be bought on.
int randomTicket(Random& random, Game game, BetKind kind)
{
    const int space = describe(game).numberSpace;
    if (kind != BetKind::Box && kind != BetKind::Set)
        return random.below(space);
    for (;;) {
        const int number = random.below(space);
        if (!allDigitsSame(game, number))
            return number;
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
    const GameDescription& g = describe(game);
    const std::optional<int> drawn = g.winningNumber(record);
    if (!drawn)
        return 0;
    const bool triple = allDigitsSame(game, *drawn);
    const int ways = orderings(*drawn, g.digits);
    switch (kind) {
    case BetKind::Straight: return double(g.prize(record, PrizeField::Straight)) / g.numberSpace;
    case BetKind::Box:
        return triple ? 0.0 : double(ways) * g.prize(record, PrizeField::Box) / boxableNumbers(game);
    case BetKind::Set:
        return triple ? 0.0
                      : (double(g.prize(record, PrizeField::SetStraight)) +
                         double(ways - 1) * g.prize(record, PrizeField::SetBox)) /
                            boxableNumbers(game);
    case BetKind::Mini: return double(g.prize(record, PrizeField::Mini)) / 100.0;
    }
    return 0;
}

LedgerSummary summarize(const std::vector<Ticket>& tickets, const DrawIndex& index, LedgerPeriod by, bool withBand)
{
    LedgerSummary summary;
    std::map<std::string, PeriodTotals> periods;
    // The settled draws in draw order, for the curve and the band.
    std::map<std::int32_t, std::vector<Stake>> stakes;
    std::map<std::int32_t, std::pair<std::int64_t, std::int64_t>> byDraw;  // spent, won
    std::map<std::int32_t, double> expectedByDraw;
    for (const Ticket& ticket : tickets) {
        const std::int64_t cost = std::int64_t(describe(ticket.game).ticketPrice) * ticket.kuchi;
        for (const DrawResult& result : settle(ticket, index)) {
            PeriodTotals& period = periods[periodOf(result.draw, by)];
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
            if (withBand) {
                Stake stake {ticket.game, ticket.kind, ticket.kuchi, *describe(ticket.game).winningNumber(record), {}};
                for (const PrizeField field : {PrizeField::Straight, PrizeField::Box, PrizeField::SetStraight,
                                               PrizeField::SetBox, PrizeField::Mini})
                    stake.prizes[std::size_t(field)] = describe(ticket.game).prize(record, field);
                stakes[result.draw].push_back(stake);
            }
        }
    }
    for (auto& [name, period] : periods) {
        period.period = name;
        summary.periods.push_back(period);
    }

    Random random(kTicketBandSeed);
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
            for (std::int64_t& buyer : buyers)
                for (const Stake& stake : stakes[draw]) {
                    const int number = randomTicket(random, stake.game, stake.kind);
                    buyer += stake.kuchi * stake.prizes[std::size_t(prizeWon(stake.game, stake.kind, number, stake.drawn))];
                }
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
