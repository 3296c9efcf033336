// The purchase ledger: the settlement rules as one table, the expectation against buyers of every
// number, the refusals, and the database's migrations, refusals and locking.

#include "history/HistoryAppender.h"
#include "support/TempDir.h"
#include "tickets/Settlement.h"
#include "tickets/TicketLedger.h"
#include "tickets/TicketSummary.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace tolvi {
namespace {

// Draw 10: 123 / 1234; draw 11: triples 777 / 7777 (no box or set prize); draw 12 without
// results; draw 13 not held yet.
std::string settlementHistory()
{
    std::string bytes = HistoryAppender::formatRecord(
                            10, {123, {90000, 15000, 52000, 7500, 9000}, 1234, {900000, 37000, 470000, 18000}}) +
                        "\r\n";
    bytes += HistoryAppender::formatRecord(11, {777, {100000, 0, 0, 0, 10000}, 7777, {1000000, 0, 0, 0}}) + "\r\n";
    std::string none = HistoryAppender::formatRecord(12, {kNoNumbers3Result, {}, 0, {}});
    none.replace(49, 4, "----");
    return bytes + none + "\r\n\x1A";
}

Ticket ticket(Game game, BetKind kind, int number, int draw, int draws = 1, int kuchi = 3)
{
    Ticket t;
    t.game = game;
    t.kind = kind;
    t.number = number;
    t.firstDraw = draw;
    t.draws = draws;
    t.kuchi = kuchi;
    t.recordedAt = "2026-12-09T20:30";
    return t;
}

TEST(Tickets, SettlementTable)
{
    const DrawIndex index(settlementHistory());
    using enum BetKind;
    using F = PrizeField;
    constexpr Game N3 = Game::Numbers3, N4 = Game::Numbers4;
    const struct {
        Game game;
        BetKind kind;
        int number, draw;
        DrawStatus status;
        PrizeField field;
        std::int64_t prizePerKuchi;
    } cases[] = {
        {N3, Straight, 123, 10, DrawStatus::Won, F::Straight, 90000},  // exact
        {N3, Straight, 321, 10, DrawStatus::Lost, F::None, 0},         // other order
        {N3, Straight, 923, 10, DrawStatus::Lost, F::None, 0},         // last two only
        {N3, Box, 123, 10, DrawStatus::Won, F::Box, 15000},
        {N3, Box, 312, 10, DrawStatus::Won, F::Box, 15000},
        {N3, Box, 124, 10, DrawStatus::Lost, F::None, 0},
        {N3, Set, 123, 10, DrawStatus::Won, F::SetStraight, 52000},
        {N3, Set, 231, 10, DrawStatus::Won, F::SetBox, 7500},
        {N3, Set, 456, 10, DrawStatus::Lost, F::None, 0},
        {N3, Mini, 23, 10, DrawStatus::Won, F::Mini, 9000},
        {N3, Mini, 123, 10, DrawStatus::Won, F::Mini, 9000},
        {N3, Mini, 132, 10, DrawStatus::Lost, F::None, 0},
        {N3, Straight, 777, 11, DrawStatus::Won, F::Straight, 100000},  // triple
        {N3, Box, 778, 11, DrawStatus::Lost, F::None, 0},
        {N3, Set, 778, 11, DrawStatus::Lost, F::None, 0},
        {N3, Mini, 577, 11, DrawStatus::Won, F::Mini, 10000},
        {N3, Straight, 123, 12, DrawStatus::NoResult, F::None, 0},
        {N3, Mini, 123, 12, DrawStatus::NoResult, F::None, 0},
        {N3, Box, 123, 13, DrawStatus::Pending, F::None, 0},
        {N4, Straight, 1234, 10, DrawStatus::Won, F::Straight, 900000},
        {N4, Straight, 4321, 10, DrawStatus::Lost, F::None, 0},
        {N4, Box, 4321, 10, DrawStatus::Won, F::Box, 37000},
        {N4, Box, 1234, 10, DrawStatus::Won, F::Box, 37000},
        {N4, Box, 1235, 10, DrawStatus::Lost, F::None, 0},
        {N4, Set, 1234, 10, DrawStatus::Won, F::SetStraight, 470000},
        {N4, Set, 2143, 10, DrawStatus::Won, F::SetBox, 18000},
        {N4, Set, 9234, 10, DrawStatus::Lost, F::None, 0},  // last three only
        {N4, Straight, 7777, 11, DrawStatus::Won, F::Straight, 1000000},
        {N4, Box, 7778, 11, DrawStatus::Lost, F::None, 0},
        {N4, Set, 1234, 12, DrawStatus::NoResult, F::None, 0},
        {N4, Straight, 1234, 13, DrawStatus::Pending, F::None, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(describeTicket(ticket(c.game, c.kind, c.number, c.draw)));
        const std::vector<DrawResult> results = settle(ticket(c.game, c.kind, c.number, c.draw), index);
        ASSERT_EQ(results.size(), 1u);
        EXPECT_EQ(results[0].status, c.status);
        EXPECT_EQ(results[0].field, c.field);
        EXPECT_EQ(results[0].prize, 3 * c.prizePerKuchi);
    }
    // 継続: one ticket over all four draws, each settled on its own.
    const std::vector<DrawResult> run = settle(ticket(N3, Straight, 777, 10, 4, 1), index);
    ASSERT_EQ(run.size(), 4u);
    EXPECT_EQ(run[0].status, DrawStatus::Lost);
    EXPECT_EQ(run[1].prize, 100000);
    EXPECT_EQ(run[2].status, DrawStatus::NoResult);
    EXPECT_EQ(run[3].status, DrawStatus::Pending);
}

// Whoever buys every number that can be bought as a kind wins exactly what the expectation says
// per number bought; the summary counts only settled draws as spent.
TEST(Tickets, ExpectationIsWhatBuyingEveryNumberWins)
{
    const DrawIndex index(settlementHistory());
    for (const Game game : kGames)
        for (const BetKind kind : describe(game).betKinds)
            for (const int draw : {10, 11}) {
                std::vector<Ticket> all;
                for (int number = 0; number < describe(game).numberSpace; ++number)
                    if (!((kind == BetKind::Box || kind == BetKind::Set) && allDigitsSame(game, number)))
                        all.push_back(ticket(game, kind, number, draw, 1, 1));
                const LedgerSummary summary = summarize(all, index, LedgerPeriod::Month, false);
                SCOPED_TRACE(describeTicket(all.front()));
                EXPECT_EQ(summary.total.spent, 200 * std::int64_t(all.size()));
                EXPECT_NEAR(summary.total.expected, double(summary.total.won), 1e-6);
            }
    const LedgerSummary pending =
        summarize({ticket(Game::Numbers3, BetKind::Straight, 123, 10, 4, 2)}, index, LedgerPeriod::Year);
    EXPECT_EQ(pending.total.spent, 800);
    EXPECT_EQ(pending.total.unsettled, 800);
    EXPECT_EQ(pending.total.won, 180000);
    ASSERT_EQ(pending.curve.size(), 2u);
    EXPECT_LE(pending.total.bandLow, pending.total.bandHigh);
}

TEST(Tickets, WhatCannotBeBoughtIsRefused)
{
    using enum BetKind;
    const std::string today = "2026-12-09";
    const Ticket refused[] = {
        ticket(Game::Numbers3, Box, 777, 7100),
        ticket(Game::Numbers4, Set, 7777, 7100),
        ticket(Game::Numbers4, Mini, 1234, 7100),
        ticket(Game::Numbers3, Straight, 1000, 7100),
        ticket(Game::Numbers3, Straight, 123, 7100, 1, 0),
        ticket(Game::Numbers3, Straight, 123, 7100, 1, 11),
        ticket(Game::Numbers3, Straight, 123, 7100, 0, 1),
        ticket(Game::Numbers3, Straight, 123, 7100, 11, 1),
        ticket(Game::Numbers3, Straight, 123, 0),
    };
    for (const Ticket& t : refused)
        EXPECT_THROW(checkTicket(t, today, true), RefusedError) << describeTicket(t);
    // Draw 6800 was held in 2025: over a year ago, recorded only when the user confirms.
    const Ticket old = ticket(Game::Numbers3, Straight, 777, 6800);
    EXPECT_THROW(checkTicket(old, today, false), RefusedError);
    EXPECT_NO_THROW(checkTicket(old, today, true));
    EXPECT_NO_THROW(checkTicket(ticket(Game::Numbers3, Straight, 777, 7055), today, false));
}

// A ledger as version 1 wrote it.
void writeVersion1(const std::filesystem::path& path)
{
    SQLite::Database db(path.string(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    db.exec("CREATE TABLE tickets (id INTEGER PRIMARY KEY, game TEXT NOT NULL, number INTEGER NOT NULL,"
            " kind TEXT NOT NULL, kuchi INTEGER NOT NULL, first_draw INTEGER NOT NULL, draws INTEGER NOT NULL,"
            " price INTEGER NOT NULL, recorded_at TEXT NOT NULL, note TEXT NOT NULL DEFAULT '');"
            "INSERT INTO tickets VALUES (7, 'n4', 1234, 'set', 2, 7050, 3, 1200, '2026-08-01T10:00', 'memo');"
            "PRAGMA user_version = 1;");
}

TEST(Tickets, LedgerMigratesAndRefusesWhatItCannotKeep)
{
    test::TempDir dir;
    const auto path = TicketLedger::pathIn(dir.path());
    {  // From nothing, and back again.
        TicketLedger ledger(path);
        Ticket t = ticket(Game::Numbers3, BetKind::Mini, 45, 7055);
        t.note = "メモ, \"引用\"";
        t.origin = TicketOrigin::Prediction;
        t.id = ledger.add(t);
        EXPECT_EQ(ledger.tickets().at(0).note, t.note);
        EXPECT_EQ(ledger.tickets().at(0).origin, TicketOrigin::Prediction);
        ledger.remove(t.id);
        EXPECT_TRUE(ledger.tickets().empty());
        EXPECT_THROW(ledger.remove(t.id), RefusedError);
        EXPECT_EQ(SQLite::Database(path.string()).execAndGet("PRAGMA journal_mode").getString(), "wal");
    }
    const auto v1 = dir.file("v1.sqlite");
    writeVersion1(v1);
    {
        TicketLedger ledger(v1);
        const Ticket kept = ledger.tickets().at(0);
        EXPECT_EQ(kept.id, 7);
        EXPECT_EQ(kept.game, Game::Numbers4);
        EXPECT_EQ(kept.kind, BetKind::Set);
        EXPECT_EQ(kept.price(), 1200);
        EXPECT_EQ(kept.origin, TicketOrigin::Typed);
    }
    EXPECT_EQ(SQLite::Database(dir.file("v1.sqlite.v1.bak").string()).execAndGet("PRAGMA user_version").getInt(), 1);
    EXPECT_TRUE(TicketLedger::check(v1).empty());

    // A newer version's ledger and a damaged one stay byte for byte as they were.
    const auto newer = dir.file("newer.sqlite");
    writeVersion1(newer);
    SQLite::Database(newer.string(), SQLite::OPEN_READWRITE).exec("PRAGMA user_version = 99");
    const auto damaged = dir.write("damaged.sqlite", std::string(4096, 'x'));
    for (const auto& file : {newer, damaged}) {
        const std::string before = test::readFileBytes(file);
        EXPECT_THROW(TicketLedger ledger(file), RefusedError) << file;
        EXPECT_EQ(test::readFileBytes(file), before);
        EXPECT_FALSE(TicketLedger::check(file).empty()) << file;
    }
}

// Another process holding the ledger makes a change wait, then fail with the busy message, and a
// retry once it has let go succeeds.
TEST(Tickets, LockedLedgerIsReportedAndRetried)
{
    test::TempDir dir;
    const auto path = TicketLedger::pathIn(dir.path());
    TicketLedger ledger(path, 50);
    int held[2], release[2];
    ASSERT_EQ(::pipe(held), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(release[1]);
        SQLite::Database other(path.string(), SQLite::OPEN_READWRITE);
        other.exec("BEGIN EXCLUSIVE");
        char byte = 1;
        (void)!::write(held[1], &byte, 1);
        (void)!::read(release[0], &byte, 1);
        ::_exit(0);
    }
    ::close(release[0]);
    char byte = 0;
    ASSERT_EQ(::read(held[0], &byte, 1), 1);
    const Ticket t = ticket(Game::Numbers3, BetKind::Straight, 123, 7055);
    try {
        ledger.add(t);
        ADD_FAILURE() << "added while another process held the ledger";
    } catch (const LedgerBusyError& e) {
        EXPECT_NE(std::string(e.what()).find("別のプログラムが使用中"), std::string::npos);
    }
    ::close(release[1]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_NO_THROW(ledger.add(t));
    EXPECT_EQ(ledger.tickets().size(), 1u);
}

}  // namespace
}  // namespace tolvi
