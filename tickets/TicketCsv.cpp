#include "tickets/TicketCsv.h"

#include "base/Errors.h"

#include <charconv>
#include <map>

namespace tolvi {

namespace {

std::string quoted(const std::string& field)
{
    if (field.find_first_of(",\"\r\n") == std::string::npos)
        return field;
    std::string text = "\"";
    for (const char c : field) {
        if (c == '"')
            text += '"';
        text += c;
    }
    return text + "\"";
}

int integerOf(const std::string& text, const char* column)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        throw RefusedError(std::string(column) + " が整数ではありません: \"" + text + "\"");
    return value;
}

}  // namespace

std::string ticketsToCsv(const std::vector<Ticket>& tickets)
{
    std::string csv = std::string(kTicketCsvHeader) + "\n";
    for (const Ticket& t : tickets) {
        const GameDescription& game = describe(t.game);
        csv += std::to_string(t.id) + "," + game.key + "," + game.numberText(t.number) + "," + describe(t.kind).key +
               "," + std::to_string(t.kuchi) + "," + std::to_string(t.firstDraw) + "," + std::to_string(t.draws) +
               "," + std::to_string(t.price()) + "," + quoted(t.recordedAt) + "," + quoted(t.note) + "," +
               originKey(t.origin) + "\n";
    }
    return csv;
}

std::vector<Ticket> ticketsFromCsvRows(const std::vector<std::vector<std::string>>& rows, const std::string& todayIso,
                                       const std::string& recordedAt, bool confirmedOld)
{
    if (rows.empty())
        throw RefusedError("CSV が空です。1 行目に見出し (" + std::string(kTicketCsvHeader) + ") が必要です。");
    std::map<std::string, std::size_t> columns;
    for (std::size_t i = 0; i < rows[0].size(); ++i)
        columns[rows[0][i]] = i;
    for (const char* required : {"game", "number", "kind", "first_draw"})
        if (!columns.count(required))
            throw RefusedError(std::string("1 行目: 見出しに ") + required + " がありません。");
    std::vector<Ticket> tickets;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const std::vector<std::string>& row = rows[r];
        const auto cell = [&](const char* name, const char* fallback) -> std::string {
            const auto found = columns.find(name);
            if (found == columns.end() || found->second >= row.size() || row[found->second].empty()) {
                if (fallback)
                    return fallback;
                throw RefusedError(std::string(name) + " がありません。");
            }
            return row[found->second];
        };
        try {
            Ticket ticket;
            const std::optional<Game> game = gameOfKey(cell("game", nullptr));
            if (!game)
                throw RefusedError("game は n3 か n4 です: \"" + cell("game", nullptr) + "\"");
            ticket.game = *game;
            const std::optional<int> number = describe(*game).parseNumber(cell("number", nullptr));
            if (!number)
                throw RefusedError("number は " + std::to_string(describe(*game).digits) + " けたの数字です: \"" +
                                   cell("number", nullptr) + "\"");
            ticket.number = *number;
            const std::optional<BetKind> kind = betKindOfKey(cell("kind", nullptr));
            if (!kind)
                throw RefusedError("kind は straight, box, set, mini のいずれかです: \"" + cell("kind", nullptr) + "\"");
            ticket.kind = *kind;
            ticket.kuchi = integerOf(cell("kuchi", "1"), "kuchi");
            ticket.firstDraw = integerOf(cell("first_draw", nullptr), "first_draw");
            ticket.draws = integerOf(cell("draws", "1"), "draws");
            ticket.recordedAt = cell("recorded_at", recordedAt.c_str());
            ticket.note = cell("note", "");
            ticket.origin = TicketOrigin::Imported;
            checkTicket(ticket, todayIso, confirmedOld);
            tickets.push_back(std::move(ticket));
        } catch (const RefusedError& e) {
            throw RefusedError(std::to_string(r + 1) + " 行目: " + e.what() + " 何も取り込んでいません。");
        }
    }
    return tickets;
}

}  // namespace tolvi
