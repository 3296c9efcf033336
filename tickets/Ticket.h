#pragma once
// One ticket of the user's purchase ledger: a number bought as one bet kind, some 口 of it, on one
// draw or on consecutive draws (継続), as the lottery sells it. What cannot be bought is refused
// here, once, for the window, the tool and the import alike.

#include "games/Games.h"

#include <cstdint>
#include <string>

namespace tolvi {

// Where a ticket was recorded from.
enum class TicketOrigin { Typed, Imported, Prediction };

inline constexpr int kMaxKuchi = 10;  // 口 per ticket
inline constexpr int kMaxDraws = 10;  // 継続回数

struct Ticket {
    std::int64_t id = 0;  // the ledger's; 0 before it is stored
    Game game = Game::Numbers3;
    int number = 0;       // 0 .. numberSpace-1
    BetKind kind = BetKind::Straight;
    int kuchi = 1;
    std::int32_t firstDraw = 1;
    int draws = 1;
    std::string recordedAt;  // "2026-12-09T20:30", Japan time
    std::string note;
    TicketOrigin origin = TicketOrigin::Typed;

    // Yen paid for the ticket: 200 per 口 and draw.
    std::int64_t price() const { return std::int64_t(describe(game).ticketPrice) * kuchi * draws; }
    std::int32_t lastDraw() const { return firstDraw + draws - 1; }
    bool covers(std::int32_t draw) const { return draw >= firstDraw && draw <= lastDraw(); }
};

const char* originKey(TicketOrigin origin);   // "typed", "imported", "prediction"
const char* originName(TicketOrigin origin);  // "入力", "取り込み", "予想"

// RefusedError with the user's message when `ticket` cannot be bought: a kind the game does not
// sell (a mini on Numbers4), a box or set on a number whose digits are all the same, 口 or draws
// outside 1-10, a number outside the game, a draw number below 1. A first draw held more than a
// year before `today` is refused too unless `confirmedOld` (the user said yes to
// oldDrawQuestion()): its prizes can no longer be claimed.
void checkTicket(const Ticket& ticket, const std::string& todayIso, bool confirmedOld);

// True when the first draw of `ticket` was held more than a year before `todayIso` (YYYY-MM-DD).
bool isOldTicket(const Ticket& ticket, const std::string& todayIso);
// What the user is told, and asked to confirm, before such a ticket is recorded.
std::string oldDrawQuestion(const Ticket& ticket);

// "ナンバーズ3 123 ストレート 2口 第7055回～第7059回"
std::string describeTicket(const Ticket& ticket);

}  // namespace tolvi
