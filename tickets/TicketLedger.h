#pragma once
// The user's purchase ledger: tickets.sqlite beside Numbers.dat, an SQLite database (WAL, foreign
// keys on) whose schema carries its version in PRAGMA user_version. Every change is one
// transaction, so a kill or a power cut leaves the ledger as it was before or after it.
//
// Nothing is lost: a database another process holds is waited for (the busy timeout) and then
// refused with LedgerBusyError, which a caller may retry; a damaged database raises RefusedError
// and is left as it is; a database of a newer version is refused, never rewritten; before a
// migration the file is copied aside (VACUUM INTO, a consistent copy even under WAL).

#include "base/Errors.h"
#include "tickets/Ticket.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace SQLite {
class Database;
}

namespace tolvi {

inline constexpr const char* kLedgerFileName = "tickets.sqlite";

// Another process holds the ledger longer than the busy timeout. Its text is the user's message.
class LedgerBusyError : public RefusedError {
public:
    using RefusedError::RefusedError;
};

class TicketLedger {
public:
    // 1: the tickets; 2: where each came from (origins, a foreign key).
    static constexpr int kSchemaVersion = 2;
    static constexpr int kDefaultBusyTimeoutMs = 3000;

    // The ledger of the history folder `folder`.
    static std::filesystem::path pathIn(const std::filesystem::path& folder) { return folder / kLedgerFileName; }

    // Opens the ledger at `path`, creating it when missing and migrating an older one (after
    // copying it to "<path>.v<version>.bak").
    explicit TicketLedger(const std::filesystem::path& path, int busyTimeoutMs = kDefaultBusyTimeoutMs);
    ~TicketLedger();
    TicketLedger(const TicketLedger&) = delete;
    TicketLedger& operator=(const TicketLedger&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Every ticket, by first draw and then by when it was recorded.
    std::vector<Ticket> tickets() const;

    // Stores tickets that checkTicket() has passed, all or none; returns their ids.
    std::vector<std::int64_t> add(const std::vector<Ticket>& tickets);
    std::int64_t add(const Ticket& ticket) { return add(std::vector<Ticket> {ticket}).front(); }
    // Replaces the ticket with `ticket.id`. RefusedError when there is none.
    void update(const Ticket& ticket);
    // RefusedError when there is no ticket `id`.
    void remove(std::int64_t id);

    // What SQLite's integrity check and the schema version say about the file at `path`, without
    // changing it: empty when all is well. The file is opened read-only.
    static std::vector<std::string> check(const std::filesystem::path& path);

private:
    void migrate(int from);
    std::filesystem::path path_;
    std::unique_ptr<SQLite::Database> db_;
};

}  // namespace tolvi
