#pragma once
// The complete shipped history beside a ledger of 10,000 tickets of every game, kind and length,
// on draws spread over the whole history (a few still to come): the same tickets on every machine.

#include "support/TempDir.h"
#include "tickets/TicketLedger.h"

#include <filesystem>
#include <memory>
#include <random>

namespace tolvi::bench {

inline constexpr int kBenchTickets = 10000;

inline const std::filesystem::path& ledgerFolder()
{
    static std::unique_ptr<test::TempDir> folder;
    if (!folder) {
        folder = std::make_unique<test::TempDir>();
        std::filesystem::copy_file(std::filesystem::path(TOLVI_SOURCE_DIR) / "data" / "Numbers.dat",
                                   folder->file("Numbers.dat"));
        std::mt19937 random(23);
        std::vector<Ticket> tickets;
        while (int(tickets.size()) < kBenchTickets) {
            Ticket t;
            t.game = kGames[random() % kGames.size()];
            const GameDescription& game = describe(t.game);
            t.kind = game.betKinds[random() % game.betKinds.size()];
            t.number = int(random() % unsigned(game.numberSpace));
            if ((t.kind == BetKind::Box || t.kind == BetKind::Set) && allDigitsSame(t.game, t.number))
                continue;
            t.kuchi = 1 + int(random() % 10);
            t.firstDraw = 1 + std::int32_t(random() % 7060);
            t.draws = 1 + int(random() % 10);
            t.recordedAt = "2026-12-09T20:30";
            tickets.push_back(t);
        }
        TicketLedger(TicketLedger::pathIn(folder->path())).add(tickets);
    }
    return folder->path();
}

}  // namespace tolvi::bench
