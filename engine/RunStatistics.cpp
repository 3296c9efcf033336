#include "engine/RunStatistics.h"

#include "base/Errors.h"
#include "base/SplitMix64.h"
#include "engine/RunTotals.h"
#include "history/DrawRecord.h"

#include <algorithm>
#include <numeric>

namespace tolvi {

namespace {

// The number of places a prize can be won on: the straight, box, set and mini prizes.
constexpr std::size_t kPrizeFields = 6;

// What a random ticket could have won on one draw with a result.
struct DrawChance {
    int tickets = 0;
    int winning = 0;                                   // the game's number
    std::array<std::int64_t, kPrizeFields> prizes {};  // by PrizeField
};

// A prize field read for the expectation: a field that is not a number counts as 0 (the run
// itself raises its error only when a candidate hits it).
std::int64_t prizeOrZero(const GameDescription& game, const DrawRecord& record, PrizeField field)
{
    try {
        return game.prize(record, field);
    } catch (const ConversionError&) {
        return 0;
    }
}

int powerOfTen(int exponent)
{
    int power = 1;
    while (exponent-- > 0)
        power *= 10;
    return power;
}

// What every ticket the edition could buy wins on a draw, by winning number: the prize fields of
// its bets, ticket by ticket (each ticket is the last predictedDigits of a number).
class TicketPrizes {
public:
    explicit TicketPrizes(const EditionDescription& edition)
        : edition_(edition), tickets_(powerOfTen(edition.predictedDigits)),
          fields_(std::size_t(describe(edition.game).numberSpace))
    { }

    int tickets() const { return tickets_; }

    // The yen each ticket wins on `chance`, in `out` (one entry per ticket).
    void prizes(const DrawChance& chance, std::vector<std::int64_t>& out)
    {
        const std::vector<PrizeField>& fields = fieldsOf(chance.winning);
        const std::size_t kinds = edition_.purchase.size();
        out.assign(std::size_t(tickets_), 0);
        for (std::size_t ticket = 0; ticket < out.size(); ++ticket)
            for (std::size_t k = 0; k < kinds; ++k)
                out[ticket] += chance.prizes[std::size_t(fields[ticket * kinds + k])];
    }

private:
    const std::vector<PrizeField>& fieldsOf(int winning)
    {
        std::vector<PrizeField>& fields = fields_[std::size_t(winning)];
        if (fields.empty())
            for (int ticket = 0; ticket < tickets_; ++ticket)
                for (const BetKind kind : edition_.purchase)
                    fields.push_back(prizeWon(edition_.game, kind, ticket, winning));
        return fields;
    }

    const EditionDescription& edition_;
    int tickets_;
    std::vector<std::vector<PrizeField>> fields_;  // by winning number, filled when first needed
};

// The draws with a result, as the replay scored them.
std::vector<DrawChance> gather(const EditionDescription& edition, const RunResult& result, RunStatistics& out)
{
    const GameDescription& game = describe(edition.game);
    std::vector<DrawChance> chances;
    for (const ScoredDraw& scored : result.draws) {
        const DrawRecord record(scored.record);
        if (!record.hasResult())
            continue;
        DrawChance chance;
        chance.tickets = scored.tickets;
        // The replay has already taken the winning number as digits.
        chance.winning = game.winningNumber(record).value_or(0);
        for (std::size_t field = 1; field < kPrizeFields; ++field)
            chance.prizes[field] = prizeOrZero(game, record, PrizeField(field));
        chances.push_back(chance);

        out.draw.push_back(record.drawNumber());
        out.spend.push_back(scored.spend);
        out.won.push_back(scored.returned);
        out.straightHits.push_back(scored.straightHits);
        out.boxHits.push_back(scored.boxHits);
        out.miniHits.push_back(scored.miniHits);
    }
    return chances;
}

// Keeps the result the run ends with; the lists and the parts on the way do not matter here.
class FinalResult : public RunView {
public:
    void clearResults() override { }
    void addResult(ResultRow) override { }
    void addStats(StatsRow) override { }
    void show(const RunResult& result, RunPart part) override
    {
        if (part == RunPart::Finished)
            final = result;
    }
    bool showsProgress() const override { return false; }

    RunResult final;
};

// The expectation averages over every ticket: what all of them win, divided by their number.
void addExpectation(TicketPrizes& ticketPrizes, const std::vector<DrawChance>& chances, RunStatistics& out)
{
    std::vector<std::int64_t> prizes;
    double sum = 0;
    for (const DrawChance& chance : chances) {
        ticketPrizes.prizes(chance, prizes);
        const std::int64_t allTickets = std::accumulate(prizes.begin(), prizes.end(), std::int64_t(0));
        sum += chance.tickets * (double(allTickets) / double(ticketPrizes.tickets()));
        out.expected.push_back(sum);
    }
}

void addBand(TicketPrizes& ticketPrizes, const std::vector<DrawChance>& chances, RunStatistics& out)
{
    SplitMix64 random(kBandSeed);
    std::vector<std::int64_t> buyers(kSimulatedBuyers, 0), sorted(kSimulatedBuyers), prizes;
    // Nearest rank: the 50th and the 950th of 1,000 sums.
    const std::size_t low = std::size_t(kSimulatedBuyers) * 5 / 100 - 1;
    const std::size_t high = std::size_t(kSimulatedBuyers) * 95 / 100 - 1;
    for (const DrawChance& chance : chances) {
        ticketPrizes.prizes(chance, prizes);
        for (std::int64_t& buyer : buyers)
            for (int ticket = 0; ticket < chance.tickets; ++ticket)
                buyer += prizes[std::size_t(random.below(ticketPrizes.tickets()))];
        sorted = buyers;
        std::nth_element(sorted.begin(), sorted.begin() + std::ptrdiff_t(low), sorted.end());
        out.bandLow.push_back(double(sorted[low]));
        std::nth_element(sorted.begin(), sorted.begin() + std::ptrdiff_t(high), sorted.end());
        out.bandHigh.push_back(double(sorted[high]));
    }
}

void addDigits(const EditionDescription& edition, const std::vector<DrawChance>& chances, RunStatistics& out)
{
    const int digits = describe(edition.game).digits;
    const std::size_t places = std::size_t(digits - edition.firstPlace);
    out.digitsAll.assign(places, {});
    out.digitsLast100.assign(places, {});
    const std::size_t recentFrom = chances.size() > 100 ? chances.size() - 100 : 0;
    for (std::size_t i = 0; i < chances.size(); ++i) {
        for (std::size_t place = 0; place < places; ++place) {
            const int fromUnits = digits - 1 - edition.firstPlace - int(place);
            const std::size_t digit = std::size_t(chances[i].winning / powerOfTen(fromUnits) % 10);
            ++out.digitsAll[place][digit];
            if (i >= recentFrom)
                ++out.digitsLast100[place][digit];
        }
    }
}

}  // namespace

RunStatistics collectStatistics(PredictionEngine& engine, Edition edition, RunRequest request)
{
    const EditionDescription& description = describe(edition);
    FinalResult view;
    request.tag = kPredictionTag;
    request.keepDraws = true;
    engine.run(request, view);
    RunStatistics statistics;
    const std::vector<DrawChance> chances = gather(description, view.final, statistics);
    TicketPrizes ticketPrizes(description);
    addExpectation(ticketPrizes, chances, statistics);
    addBand(ticketPrizes, chances, statistics);
    addDigits(description, chances, statistics);
    return statistics;
}

}  // namespace tolvi
