#pragma once
// The ledger as a CSV file: export writes every ticket, import reads tickets back, all or nothing.
// Columns by their heading, in any order:
//   id, game (n3/n4), number, kind (straight/box/set/mini), kuchi, first_draw, draws, price,
//   recorded_at, note, origin
// Import needs game, number, kind and first_draw; kuchi and draws default to 1, recorded_at to
// the time of the import; id, price and origin are the ledger's own and are not read (an
// imported ticket's origin is "imported").

#include "tickets/Ticket.h"

#include <string>
#include <vector>

namespace tolvi {

inline constexpr const char* kTicketCsvHeader = "id,game,number,kind,kuchi,first_draw,draws,price,recorded_at,note,origin";

std::string ticketsToCsv(const std::vector<Ticket>& tickets);

// The tickets of `rows` (the heading first, as a CSV reader split them), each checked as a typed
// one would be (checkTicket with `todayIso` and `confirmedOld`). RefusedError naming the row
// (counted from 1, the heading being row 1) and what is wrong with it.
std::vector<Ticket> ticketsFromCsvRows(const std::vector<std::vector<std::string>>& rows, const std::string& todayIso,
                                       const std::string& recordedAt, bool confirmedOld);

}  // namespace tolvi
