#include "tickets/TicketReport.h"

#include "base/NumberFormat.h"
#include "history/HistoryReader.h"
#include "tickets/TicketLedger.h"

namespace tolvi {

DrawIndex drawIndexOf(const std::filesystem::path& historyPath)
{
    std::error_code missing;
    if (!std::filesystem::exists(historyPath, missing))
        return DrawIndex();
    return DrawIndex(HistoryReader::readContent(historyPath));
}

std::string ticketWinsText(const std::vector<Ticket>& tickets, const DrawIndex& index, std::int32_t first,
                           std::int32_t last)
{
    std::string wins;
    int covering = 0;
    for (const Ticket& ticket : tickets) {
        if (ticket.lastDraw() < first || ticket.firstDraw > last)
            continue;
        for (const DrawResult& result : settle(ticket, index)) {
            // A draw without a result, or not in the history, is no loss.
            if (result.draw < first || result.draw > last ||
                (result.status != DrawStatus::Won && result.status != DrawStatus::Lost))
                continue;
            ++covering;
            if (result.status == DrawStatus::Won)
                wins += "購入記録: 第" + std::to_string(result.draw) + "回 " + describe(ticket.game).name + " " +
                        describe(ticket.game).numberText(ticket.number) + " " + describe(ticket.kind).name + " " +
                        std::to_string(ticket.kuchi) + "口 当せん " + formatGrouped(result.prize, 0, ",") +
                        "円 (支払期限 " + japaneseDate(claimDeadline(result.draw)) + ")\n";
        }
    }
    if (covering == 0 || !wins.empty())
        return wins;
    return "購入記録: 追加した回の券 " + std::to_string(covering) + " 件はすべてはずれました。\n";
}

std::string ticketWinsBeside(const std::filesystem::path& historyPath, std::int32_t first, std::int32_t last)
{
    const std::filesystem::path ledgerPath = TicketLedger::pathIn(historyPath.parent_path());
    std::error_code missing;
    if (!std::filesystem::exists(ledgerPath, missing))
        return {};
    const TicketLedger ledger(ledgerPath);
    return ticketWinsText(ledger.tickets(), drawIndexOf(historyPath), first, last);
}

}  // namespace tolvi
