#include "engine/RunStatistics.h"

#include "base/Errors.h"
#include "base/StrToInt.h"
#include "engine/ReplayObserver.h"
#include "engine/RunTotals.h"

#include <algorithm>

namespace tolvi {

namespace {

// What a random ticket could have won on one draw with a result.
struct DrawChance {
    int tickets = 0;
    int winning = 0;        // 0-999
    std::int64_t straight = 0, box = 0, mini = 0;
};

// A prize field read for the expectation: a field that is not a number counts as 0 (the run
// itself raises its error only when a candidate hits it).
std::int64_t prizeOrZero(const DrawRecord& record, int column)
{
    try {
        return record.prize(column);
    } catch (const ConversionError&) {
        return 0;
    }
}

int digitsKey(int number)
{
    std::array<int, 3> digits {number / 100, number / 10 % 10, number % 10};
    std::sort(digits.begin(), digits.end());
    return digits[0] * 100 + digits[1] * 10 + digits[2];
}

// The number of distinct orderings of a three-digit number's digits: 6, 3 or 1.
int orderings(int number)
{
    const int a = number / 100, b = number / 10 % 10, c = number % 10;
    if (a == b && b == c)
        return 1;
    return (a == b || b == c || a == c) ? 3 : 6;
}

// Gathers the replay, draw by draw.
class Collector : public ReplayObserver {
public:
    Collector(BetGame game, RunStatistics& out) : game_(game), out_(out) {}

    void onDraw(const DrawOutcome& outcome) override
    {
        const DrawRecord& record = outcome.record;
        if (!record.hasResult())
            return;
        DrawChance chance;
        chance.tickets = outcome.tickets;
        // The replay has already taken these three bytes as digits.
        chance.winning = strToInt(record.winningNumber());
        if (game_ == BetGame::Numbers3) {
            chance.straight = prizeOrZero(record, kStraightPrizeColumn);
            chance.box = prizeOrZero(record, kBoxPrizeColumn);
        } else {
            chance.mini = prizeOrZero(record, kMiniPrizeColumn);
        }
        chances_.push_back(chance);

        const std::int32_t drawNumber = record.drawNumber();
        out_.draw.push_back(drawNumber);
        if (game_ == BetGame::Numbers3) {
            out_.spend.push_back(numbers3Spend(drawNumber, outcome.tickets));
            out_.won.push_back(wrappingAdd(outcome.totals.straightSum, outcome.totals.boxSum));
        } else {
            out_.spend.push_back(outcome.stake);
            out_.won.push_back(outcome.totals.miniSum);
        }
        out_.straightHits.push_back(outcome.straightHits);
        out_.boxHits.push_back(outcome.boxHits);
        out_.miniHits.push_back(outcome.miniHits);
    }

    const std::vector<DrawChance>& chances() const { return chances_; }

private:
    BetGame game_;
    RunStatistics& out_;
    std::vector<DrawChance> chances_;
};

// A view that shows nothing: only the replay's draws matter here.
class NoView : public RunView {
public:
    void clearResults() override {}
    void addResult(ResultRow) override {}
    void addStats(StatsRow) override {}
    void setText(RunControl, std::string) override {}
    void setVisible(RunControl, bool) override {}
    void openPanel(RunControl) override {}
    void disableCommands() override {}
    bool showsProgress() const override { return false; }
};

// SplitMix64: small, fast and the same on every platform, so the band is too.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    // Uniform in 0 .. n-1 (n far below 2^32).
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

void addExpectation(BetGame game, const std::vector<DrawChance>& chances, RunStatistics& out)
{
    double sum = 0;
    for (const DrawChance& chance : chances) {
        // Averaged over every number a ticket could be: the straight prize for the one equal
        // number, the box prize for each ordering of the winning digits (the equal one included).
        const double perTicket = game == BetGame::Numbers3
                                     ? double(chance.straight + orderings(chance.winning) * chance.box) / 1000.0
                                     : double(chance.mini) / 100.0;
        sum += chance.tickets * perTicket;
        out.expected.push_back(sum);
    }
}

void addBand(BetGame game, const std::vector<DrawChance>& chances, RunStatistics& out)
{
    static const std::array<int, 1000> keys = [] {
        std::array<int, 1000> table {};
        for (int number = 0; number < 1000; ++number)
            table[std::size_t(number)] = digitsKey(number);
        return table;
    }();
    Random random(kBandSeed);
    std::vector<std::int64_t> buyers(kSimulatedBuyers, 0), sorted(kSimulatedBuyers);
    // Nearest rank: the 50th and the 950th of 1,000 sums.
    const std::size_t low = std::size_t(kSimulatedBuyers) * 5 / 100 - 1;
    const std::size_t high = std::size_t(kSimulatedBuyers) * 95 / 100 - 1;
    for (const DrawChance& chance : chances) {
        const int winningKey = keys[std::size_t(chance.winning)];
        for (std::int64_t& buyer : buyers) {
            for (int ticket = 0; ticket < chance.tickets; ++ticket) {
                if (game == BetGame::Numbers3) {
                    const int number = random.below(1000);
                    buyer += (number == chance.winning ? chance.straight : 0) +
                             (keys[std::size_t(number)] == winningKey ? chance.box : 0);
                } else {
                    buyer += random.below(100) == chance.winning % 100 ? chance.mini : 0;
                }
            }
        }
        sorted = buyers;
        std::nth_element(sorted.begin(), sorted.begin() + std::ptrdiff_t(low), sorted.end());
        out.bandLow.push_back(double(sorted[low]));
        std::nth_element(sorted.begin(), sorted.begin() + std::ptrdiff_t(high), sorted.end());
        out.bandHigh.push_back(double(sorted[high]));
    }
}

void addDigits(BetGame game, const std::vector<DrawChance>& chances, RunStatistics& out)
{
    const int firstPlace = game == BetGame::Numbers3 ? 0 : 1;  // Mini: tens and units
    const std::size_t places = std::size_t(3 - firstPlace);
    out.digitsAll.assign(places, {});
    out.digitsLast100.assign(places, {});
    const std::size_t recentFrom = chances.size() > 100 ? chances.size() - 100 : 0;
    for (std::size_t i = 0; i < chances.size(); ++i) {
        const int number = chances[i].winning;
        const std::array<int, 3> digits {number / 100, number / 10 % 10, number % 10};
        for (std::size_t place = 0; place < places; ++place) {
            const std::size_t digit = std::size_t(digits[place + std::size_t(firstPlace)]);
            ++out.digitsAll[place][digit];
            if (i >= recentFrom)
                ++out.digitsLast100[place][digit];
        }
    }
}

}  // namespace

RunStatistics collectStatistics(PredictionEngine& engine, BetGame game, RunRequest request)
{
    RunStatistics statistics;
    Collector collector(game, statistics);
    NoView view;
    request.tag = kPredictionTag;
    request.observer = &collector;
    engine.run(request, view);
    addExpectation(game, collector.chances(), statistics);
    addBand(game, collector.chances(), statistics);
    addDigits(game, collector.chances(), statistics);
    return statistics;
}

}  // namespace tolvi
