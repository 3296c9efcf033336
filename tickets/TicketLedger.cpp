#include "tickets/TicketLedger.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <sqlite3.h>

#include <array>
#include <functional>

namespace tolvi {

namespace {

// Each step takes the schema from the version before it to its own; a new version appends one.
// Steps are never edited once released: a user's ledger may be at any of them.
constexpr std::array<const char*, TicketLedger::kSchemaVersion> kMigrations {
    // 1
    "CREATE TABLE tickets ("
    " id INTEGER PRIMARY KEY,"
    " game TEXT NOT NULL CHECK (game IN ('n3', 'n4')),"
    " number INTEGER NOT NULL CHECK (number >= 0),"
    " kind TEXT NOT NULL CHECK (kind IN ('straight', 'box', 'set', 'mini')),"
    " kuchi INTEGER NOT NULL CHECK (kuchi BETWEEN 1 AND 10),"
    " first_draw INTEGER NOT NULL CHECK (first_draw >= 1),"
    " draws INTEGER NOT NULL CHECK (draws BETWEEN 1 AND 10),"
    " price INTEGER NOT NULL,"
    " recorded_at TEXT NOT NULL,"
    " note TEXT NOT NULL DEFAULT '');"
    "CREATE INDEX tickets_by_draw ON tickets (first_draw);",
    // 2
    "CREATE TABLE origins (key TEXT PRIMARY KEY, name TEXT NOT NULL);"
    "INSERT INTO origins VALUES ('typed', '入力'), ('imported', '取り込み'), ('prediction', '予想');"
    "ALTER TABLE tickets ADD COLUMN origin TEXT NOT NULL DEFAULT 'typed' REFERENCES origins (key);",
};

std::string damagedMessage(const std::filesystem::path& path, const std::string& detail)
{
    return path.string() + " は購入記録のデータベースとして読めません (" + detail +
           ")。ファイルはそのままにしてあります。tolvi check で調べてください。";
}

// Runs `work`, turning SQLite's failures into the core's errors.
template <typename Work>
auto translated(const std::filesystem::path& path, Work&& work) -> decltype(work())
{
    try {
        return work();
    } catch (const SQLite::Exception& e) {
        switch (e.getErrorCode()) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            throw LedgerBusyError(path.string() +
                                  " は別のプログラムが使用中です。そのプログラムの処理が終わってから、もう一度やり直してください。");
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT: throw RefusedError(damagedMessage(path, e.what()));
        case SQLITE_CONSTRAINT: throw RefusedError(path.string() + ": 記録できない値です (" + e.what() + ")。");
        default: throw IoError(path.string() + ": " + e.what());
        }
    }
}

Ticket readTicket(SQLite::Statement& row)
{
    Ticket ticket;
    ticket.id = row.getColumn(0).getInt64();
    const std::string game = row.getColumn(1).getString(), kind = row.getColumn(3).getString(),
                      origin = row.getColumn(9).getString();
    ticket.game = gameOfKey(game).value_or(Game::Numbers3);
    ticket.number = row.getColumn(2).getInt();
    ticket.kind = betKindOfKey(kind).value_or(BetKind::Straight);
    ticket.kuchi = row.getColumn(4).getInt();
    ticket.firstDraw = row.getColumn(5).getInt();
    ticket.draws = row.getColumn(6).getInt();
    ticket.recordedAt = row.getColumn(7).getString();
    ticket.note = row.getColumn(8).getString();
    for (const TicketOrigin o : {TicketOrigin::Typed, TicketOrigin::Imported, TicketOrigin::Prediction})
        if (origin == originKey(o))
            ticket.origin = o;
    return ticket;
}

void bindTicket(SQLite::Statement& statement, const Ticket& ticket)
{
    statement.bind(1, describe(ticket.game).key);
    statement.bind(2, ticket.number);
    statement.bind(3, describe(ticket.kind).key);
    statement.bind(4, ticket.kuchi);
    statement.bind(5, ticket.firstDraw);
    statement.bind(6, ticket.draws);
    statement.bind(7, static_cast<std::int64_t>(ticket.price()));
    statement.bind(8, ticket.recordedAt);
    statement.bind(9, ticket.note);
    statement.bind(10, originKey(ticket.origin));
}

// A copy of the ledger before it is migrated, beside it; an earlier copy is kept too.
std::filesystem::path asideName(const std::filesystem::path& path, int version)
{
    std::filesystem::path aside = path.string() + ".v" + std::to_string(version) + ".bak";
    for (int n = 2; std::filesystem::exists(aside); ++n)
        aside = path.string() + ".v" + std::to_string(version) + "-" + std::to_string(n) + ".bak";
    return aside;
}

}  // namespace

TicketLedger::TicketLedger(const std::filesystem::path& path, int busyTimeoutMs) : path_(path)
{
    translated(path_, [&] {
        db_ = std::make_unique<SQLite::Database>(path_.string(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE,
                                                 busyTimeoutMs);
        db_->exec("PRAGMA foreign_keys = ON");
        const int version = db_->execAndGet("PRAGMA user_version").getInt();
        if (version > kSchemaVersion)
            throw RefusedError(path_.string() + " は新しいバージョンの Tolvi Numbers で作られた購入記録です (形式 " +
                               std::to_string(version) + ")。このバージョンでは開けません。ファイルはそのままにしてあります。");
        db_->execAndGet("PRAGMA journal_mode = WAL");
        if (version < kSchemaVersion)
            migrate(version);
        return 0;
    });
}

TicketLedger::~TicketLedger() = default;

void TicketLedger::migrate(int from)
{
    if (from > 0) {
        SQLite::Statement copy(*db_, "VACUUM INTO ?");
        copy.bind(1, asideName(path_, from).string());
        copy.exec();
    }
    // Foreign keys are checked once the whole migration is done (a step may add a reference
    // column with a default, which SQLite refuses while they are enforced).
    db_->exec("PRAGMA foreign_keys = OFF");
    {
        SQLite::Transaction transaction(*db_, SQLite::TransactionBehavior::IMMEDIATE);
        // Another process may have migrated it meanwhile.
        const int now = db_->execAndGet("PRAGMA user_version").getInt();
        for (int version = now + 1; version <= kSchemaVersion; ++version)
            db_->exec(kMigrations[std::size_t(version - 1)]);
        db_->exec("PRAGMA user_version = " + std::to_string(kSchemaVersion));
        SQLite::Statement orphans(*db_, "PRAGMA foreign_key_check");
        if (orphans.executeStep())
            throw RefusedError(damagedMessage(path_, "移行後の参照が一致しません"));
        transaction.commit();
    }
    db_->exec("PRAGMA foreign_keys = ON");
}

std::vector<Ticket> TicketLedger::tickets() const
{
    return translated(path_, [&] {
        std::vector<Ticket> all;
        SQLite::Statement row(*db_, "SELECT id, game, number, kind, kuchi, first_draw, draws, recorded_at, note, origin"
                                    " FROM tickets ORDER BY first_draw, id");
        while (row.executeStep())
            all.push_back(readTicket(row));
        return all;
    });
}

std::vector<std::int64_t> TicketLedger::add(const std::vector<Ticket>& tickets)
{
    return translated(path_, [&] {
        std::vector<std::int64_t> ids;
        SQLite::Transaction transaction(*db_, SQLite::TransactionBehavior::IMMEDIATE);
        SQLite::Statement insert(*db_, "INSERT INTO tickets (game, number, kind, kuchi, first_draw, draws, price,"
                                       " recorded_at, note, origin) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        for (const Ticket& ticket : tickets) {
            bindTicket(insert, ticket);
            insert.exec();
            insert.reset();
            ids.push_back(db_->getLastInsertRowid());
        }
        transaction.commit();
        return ids;
    });
}

void TicketLedger::update(const Ticket& ticket)
{
    translated(path_, [&] {
        SQLite::Transaction transaction(*db_, SQLite::TransactionBehavior::IMMEDIATE);
        SQLite::Statement change(*db_, "UPDATE tickets SET game = ?, number = ?, kind = ?, kuchi = ?, first_draw = ?,"
                                       " draws = ?, price = ?, recorded_at = ?, note = ?, origin = ? WHERE id = ?");
        bindTicket(change, ticket);
        change.bind(11, static_cast<std::int64_t>(ticket.id));
        if (change.exec() != 1)
            throw RefusedError("購入記録に番号 " + std::to_string(ticket.id) + " の券はありません。");
        transaction.commit();
        return 0;
    });
}

void TicketLedger::remove(std::int64_t id)
{
    translated(path_, [&] {
        SQLite::Transaction transaction(*db_, SQLite::TransactionBehavior::IMMEDIATE);
        SQLite::Statement erase(*db_, "DELETE FROM tickets WHERE id = ?");
        erase.bind(1, static_cast<std::int64_t>(id));
        if (erase.exec() != 1)
            throw RefusedError("購入記録に番号 " + std::to_string(id) + " の券はありません。");
        transaction.commit();
        return 0;
    });
}

std::vector<std::string> TicketLedger::check(const std::filesystem::path& path)
{
    std::vector<std::string> problems;
    try {
        SQLite::Database db(path.string(), SQLite::OPEN_READONLY, kDefaultBusyTimeoutMs);
        const int version = db.execAndGet("PRAGMA user_version").getInt();
        if (version > kSchemaVersion)
            problems.push_back("新しいバージョンの形式です (形式 " + std::to_string(version) + ")。");
        SQLite::Statement integrity(db, "PRAGMA integrity_check");
        while (integrity.executeStep()) {
            const std::string line = integrity.getColumn(0).getString();
            if (line != "ok")
                problems.push_back(line);
        }
        SQLite::Statement orphans(db, "PRAGMA foreign_key_check");
        if (orphans.executeStep())
            problems.push_back("参照の一致しない行があります (foreign_key_check)。");
    } catch (const SQLite::Exception& e) {
        if (e.getErrorCode() == SQLITE_BUSY || e.getErrorCode() == SQLITE_LOCKED)
            throw LedgerBusyError(path.string() + " は別のプログラムが使用中です。しばらくしてからやり直してください。");
        problems.push_back(e.what());
    }
    return problems;
}

}  // namespace tolvi
