#pragma once
// What the tickets won on draws just added to the history: the update's summary and its
// notification, and the window after an update or an entry, say it in the same words.

#include "tickets/Settlement.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tolvi {

// The draws of the history at `historyPath`; an empty index when there is no history yet (every
// ticket draw is then pending). IoError when it cannot be read.
DrawIndex drawIndexOf(const std::filesystem::path& historyPath);

// One line per winning ticket draw among draws `first`..`last` ("購入記録: 第7055回 ナンバーズ3 123
// ストレート 1口 当せん 90,000円 (支払期限 2027年12月9日)"), or one line saying the tickets on
// them lost; empty when no ticket covers them.
std::string ticketWinsText(const std::vector<Ticket>& tickets, const DrawIndex& index, std::int32_t first,
                           std::int32_t last);

// The same for the ledger beside the history at `historyPath`: empty without a ledger (none is
// created). The ledger's errors are the caller's to show.
std::string ticketWinsBeside(const std::filesystem::path& historyPath, std::int32_t first, std::int32_t last);

}  // namespace tolvi
