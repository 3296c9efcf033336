#include "TicketsFixture.h"
#include "history/HistoryFile.h"
#include "tickets/TicketReport.h"
#include "tickets/TicketSummary.h"

#include <benchmark/benchmark.h>

namespace {

// What the ledger window and `tolvi tickets list` do first: the ledger opened and read, the
// history indexed, every ticket draw settled.
void BM_SettleTickets(benchmark::State& state)
{
    const auto& folder = tolvi::bench::ledgerFolder();
    for (auto _ : state) {
        const tolvi::TicketLedger ledger(tolvi::TicketLedger::pathIn(folder));
        const tolvi::DrawIndex index = tolvi::drawIndexOf(folder / tolvi::kHistoryFileName);
        std::int64_t won = 0;
        for (const tolvi::Ticket& ticket : ledger.tickets())
            for (const tolvi::DrawResult& result : tolvi::settle(ticket, index))
                won += result.prize;
        benchmark::DoNotOptimize(won);
    }
}
BENCHMARK(BM_SettleTickets)->Unit(benchmark::kMillisecond);

// 収支 of the same tickets: the expectation, and with arg 1 the band of 1,000 simulated buyers.
void BM_TicketSummary(benchmark::State& state)
{
    const auto& folder = tolvi::bench::ledgerFolder();
    const std::vector<tolvi::Ticket> tickets = tolvi::TicketLedger(tolvi::TicketLedger::pathIn(folder)).tickets();
    const tolvi::DrawIndex index = tolvi::drawIndexOf(folder / tolvi::kHistoryFileName);
    for (auto _ : state)
        benchmark::DoNotOptimize(tolvi::summarize(tickets, index, tolvi::LedgerPeriod::Month, state.range(0) != 0));
}
BENCHMARK(BM_TicketSummary)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
