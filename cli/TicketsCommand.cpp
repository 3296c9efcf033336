// tolvi tickets: the purchase ledger beside the history (tickets.sqlite): recording, listing and
// removing tickets, 収支 against chance, and the ledger as CSV.

#include "base/Errors.h"
#include "base/NumberFormat.h"
#include "cli/Commands.h"
#include "history/AtomicFile.h"
#include "history/HistoryFile.h"
#include "results/ResultsText.h"
#include "tickets/TicketCsv.h"
#include "tickets/TicketLedger.h"
#include "tickets/TicketReport.h"
#include "tickets/TicketSummary.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

namespace tolvi::cli {

namespace {

// A ledger CSV larger than this is not one a person keeps (10,000 tickets take under 1 MB).
constexpr std::uintmax_t kMaxImportBytes = 64u << 20;

struct TicketsOptions {
    std::string dir = ".";
    // add
    std::string game, number, kind, note;
    int kuchi = 1, draw = 0, draws = 1;
    bool confirmOld = false;
    // list, summary
    std::string month, by = "month";
    bool unsettled = false, json = false;
    // remove
    std::int64_t id = 0;
    // import, export
    std::string file, output;
};

std::filesystem::path historyPathOf(const TicketsOptions& options)
{
    return HistoryFile::fullPath(std::filesystem::path(options.dir) / kHistoryFileName);
}

TicketLedger openLedger(const TicketsOptions& options)
{
    return TicketLedger(TicketLedger::pathIn(historyPathOf(options).parent_path()));
}

std::string nowText(const JapanTime& now)
{
    return isoDate(now.date) + "T" + clockTime(now);
}

std::string yen(std::int64_t amount)
{
    return formatGrouped(amount, 0, userGroupSeparator()) + "円";
}

std::string percent(std::optional<double> rate)
{
    return rate ? formatInt(std::llround(*rate * 100), 0) + "%" : "-";
}

int addTicket(const TicketsOptions& options)
{
    const std::optional<Game> game = gameOfKey(options.game);
    if (!game)
        throw RefusedError("ゲームは n3 (ナンバーズ3) か n4 (ナンバーズ4) です: " + options.game);
    const std::optional<BetKind> kind = betKindOfKey(options.kind);
    if (!kind)
        throw RefusedError("種類は straight, box, set, mini のいずれかです: " + options.kind);
    // A mini is bought on two digits; the hundreds of a three-digit number do not count.
    const std::string digits =
        *kind == BetKind::Mini && options.number.size() == 2 ? "0" + options.number : options.number;
    const std::optional<int> number = describe(*game).parseNumber(digits);
    if (!number)
        throw RefusedError(std::string(describe(*game).name) + "の数字は " + std::to_string(describe(*game).digits) +
                           " けたで書いてください (例: " + describe(*game).numberText(7) + "): " + options.number);
    const JapanTime now = japanNow();
    Ticket ticket;
    ticket.game = *game;
    ticket.number = *number;
    ticket.kind = *kind;
    ticket.kuchi = options.kuchi;
    ticket.firstDraw = options.draw > 0 ? options.draw : lastDrawHeld(now) + 1;
    ticket.draws = options.draws;
    ticket.note = options.note;
    ticket.recordedAt = nowText(now);
    checkTicket(ticket, isoDate(now.date), options.confirmOld);
    ticket.id = openLedger(options).add(ticket);
    std::cout << "購入記録に追加しました: 番号 " << ticket.id << " " << describeTicket(ticket) << " "
              << yen(ticket.price()) << "\n";
    return 0;
}

bool inMonth(const Ticket& ticket, const std::string& month)
{
    for (std::int32_t draw = ticket.firstDraw; draw <= ticket.lastDraw(); ++draw)
        if (isoDate(drawDate(draw)).starts_with(month))
            return true;
    return false;
}

int listTickets(const TicketsOptions& options)
{
    if (!options.month.empty() && !parseIsoDate(options.month + "-01"))
        throw RefusedError("--month は YYYY-MM で書いてください: " + options.month);
    const DrawIndex index = drawIndexOf(historyPathOf(options));
    const Date today = japanNow().date;
    nlohmann::ordered_json json = nlohmann::ordered_json::array();
    for (const Ticket& ticket : openLedger(options).tickets()) {
        if (!options.month.empty() && !inMonth(ticket, options.month))
            continue;
        const std::vector<DrawResult> results = settle(ticket, index);
        if (options.unsettled && std::none_of(results.begin(), results.end(),
                                              [](const DrawResult& r) { return r.status == DrawStatus::Pending; }))
            continue;
        const GameDescription& game = describe(ticket.game);
        if (options.json) {
            nlohmann::ordered_json entry {{"id", ticket.id},
                                          {"game", game.key},
                                          {"number", game.numberText(ticket.number)},
                                          {"kind", describe(ticket.kind).key},
                                          {"kuchi", ticket.kuchi},
                                          {"first_draw", ticket.firstDraw},
                                          {"draws", ticket.draws},
                                          {"price", ticket.price()},
                                          {"recorded_at", ticket.recordedAt},
                                          {"note", ticket.note},
                                          {"origin", originKey(ticket.origin)},
                                          {"results", nlohmann::ordered_json::array()}};
            for (const DrawResult& r : results) {
                nlohmann::ordered_json result {{"draw", r.draw}, {"status", statusKey(r.status)}, {"prize", r.prize}};
                if (r.status == DrawStatus::Won)
                    result["claim_by"] = isoDate(claimDeadline(r.draw));
                entry["results"].push_back(result);
            }
            json.push_back(entry);
            continue;
        }
        std::cout << formatInt(ticket.id, 5) << "  " << describeTicket(ticket) << "  " << yen(ticket.price());
        if (!ticket.note.empty())
            std::cout << "  (" << ticket.note << ")";
        std::cout << "\n";
        for (const DrawResult& r : results) {
            std::cout << "         第" << r.draw << "回 " << japaneseDate(drawDate(r.draw)) << " "
                      << statusName(r.status);
            if (r.status == DrawStatus::Won) {
                const int left = daysToClaim(r.draw, today);
                std::cout << " " << yen(r.prize) << " 支払期限 " << japaneseDate(claimDeadline(r.draw))
                          << (left < 0                   ? " (期限切れ)"
                              : left < kClaimWarningDays ? " (あと " + std::to_string(left) + " 日)"
                                                         : "");
            }
            std::cout << "\n";
        }
    }
    if (options.json)
        std::cout << json.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
    return 0;
}

int removeTicket(const TicketsOptions& options)
{
    openLedger(options).remove(options.id);
    std::cout << "購入記録から番号 " << options.id << " を削除しました。\n";
    return 0;
}

int summarizeTickets(const TicketsOptions& options)
{
    const LedgerSummary summary = summarize(openLedger(options).tickets(), drawIndexOf(historyPathOf(options)),
                                            options.by == "year" ? LedgerPeriod::Year : LedgerPeriod::Month);
    const LedgerTotals& total = summary.total;
    if (options.json) {
        const auto rate = [](std::optional<double> r) {
            return r ? nlohmann::ordered_json(*r) : nlohmann::ordered_json();
        };
        nlohmann::ordered_json json {{"spent", total.spent},         {"won", total.won},
                                     {"rate", rate(total.rate())},   {"expected", total.expected},
                                     {"band_low", total.bandLow},    {"band_high", total.bandHigh},
                                     {"unsettled", total.unsettled}, {"periods", nlohmann::ordered_json::array()}};
        for (const PeriodTotals& p : summary.periods)
            json["periods"].push_back({{"period", p.period},
                                       {"spent", p.spent},
                                       {"won", p.won},
                                       {"rate", p.spent > 0 ? nlohmann::ordered_json(double(p.won) / double(p.spent))
                                                            : nlohmann::ordered_json()},
                                       {"unsettled", p.unsettled}});
        std::cout << json.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
        return 0;
    }
    std::cout << padToWidth(options.by == "year" ? "年" : "月", 9)
              << "        購入額      当せん額  回収率    未抽せん等\n";
    for (const PeriodTotals& p : summary.periods)
        std::cout << padToWidth(p.period, 9) << formatGrouped(p.spent, 12, ",") << "円" << formatGrouped(p.won, 12, ",")
                  << "円" << formatInt(p.spent ? std::llround(100.0 * double(p.won) / double(p.spent)) : 0, 7) << "%"
                  << formatGrouped(p.unsettled, 12, ",") << "円\n";
    std::cout << "合計: 購入 " << yen(total.spent) << "、当せん " << yen(total.won) << "、回収率 "
              << percent(total.rate());
    if (total.unsettled > 0)
        std::cout << " (ほかに未抽せん・結果なしの " << yen(total.unsettled) << ")";
    std::cout << "\n";
    if (total.spent > 0)
        std::cout << "偶然との比較: 同じ券をでたらめな数字で買った場合の期待値 " << yen(std::llround(total.expected))
                  << "、1,000 人のうち 9 割が " << yen(std::llround(total.bandLow)) << "～"
                  << yen(std::llround(total.bandHigh)) << " の間\n";
    return 0;
}

int importTickets(const TicketsOptions& options)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(options.file, error);
    if (error)
        throw IoError(describeSystemError(options.file + " を読めません", error.value()));
    if (size > kMaxImportBytes)
        throw RefusedError(options.file + " は購入記録の CSV としては大きすぎます。");
    std::ifstream in(options.file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in)
        throw IoError(options.file + " を読めません。");
    const JapanTime now = japanNow();
    const std::vector<Ticket> tickets =
        ticketsFromCsvRows(splitCsvRows(text.str(), options.file), isoDate(now.date), nowText(now), options.confirmOld);
    openLedger(options).add(tickets);
    std::cout << options.file << " から " << tickets.size() << " 件を購入記録に取り込みました。\n";
    return 0;
}

int exportTickets(const TicketsOptions& options)
{
    const std::string csv = ticketsToCsv(openLedger(options).tickets());
    if (options.output.empty() || options.output == "-")
        std::cout << csv;
    else
        writeFileAtomically(options.output, csv);
    return 0;
}

CLI::App* subcommand(CLI::App& tickets, const char* name, const char* help,
                     const std::shared_ptr<TicketsOptions>& options, int& status, int (*run)(const TicketsOptions&))
{
    CLI::App* command = tickets.add_subcommand(name, help);
    addHistoryDirOption(*command, options->dir);
    command->callback([options, &status, run] { status = printingErrors([&] { return run(*options); }); });
    return command;
}

}  // namespace

void addTicketsCommand(CLI::App& app, int& status)
{
    auto options = std::make_shared<TicketsOptions>();
    CLI::App* tickets = app.add_subcommand(
        "tickets", "購入した券の記録 (履歴の横の tickets.sqlite): 追加・一覧・削除・収支・CSV の取り込みと書き出し");
    tickets->require_subcommand(1);
    const char* confirm = "1 年以上前に抽せんされた回も記録します (支払期間は過ぎています)";

    CLI::App* add = subcommand(*tickets, "add", "券を記録します", options, status, addTicket);
    add->add_option("game", options->game, "ゲーム: n3 (ナンバーズ3), n4 (ナンバーズ4)")->required();
    add->add_option("ticket_number", options->number, "数字 (ナンバーズ3 は 3 けた、ナンバーズ4 は 4 けた)")
        ->required();
    add->add_option("kind", options->kind, "種類: straight, box, set, mini (ミニはナンバーズ3 のみ)")->required();
    add->add_option("--kuchi", options->kuchi, "口数 1～10 (既定 1)");
    add->add_option("--draw", options->draw, "最初の回号 (既定: 次に抽せんされる回)");
    add->add_option("--draws", options->draws, "継続回数 1～10 (既定 1)");
    add->add_option("--note", options->note, "メモ");
    add->add_flag("--yes", options->confirmOld, confirm);

    CLI::App* list = subcommand(*tickets, "list", "券と回ごとの結果 (当せん・はずれ・結果なし・未抽せん) を表示します",
                                options, status, listTickets);
    list->add_option("--month", options->month, "その月 (YYYY-MM) に抽せんされる回を含む券だけ");
    list->add_flag("--unsettled", options->unsettled, "未抽せんの回が残っている券だけ");
    list->add_flag("--json", options->json, "JSON で出力します");

    CLI::App* remove = subcommand(*tickets, "remove", "券の記録を削除します", options, status, removeTicket);
    remove->add_option("id", options->id, "券の番号 (list の左端)")->required()->check(CLI::PositiveNumber);

    CLI::App* summary = subcommand(*tickets, "summary", "購入額・当せん額・回収率と、偶然との比較を表示します", options,
                                   status, summarizeTickets);
    summary->add_option("--by", options->by, "集計の単位: month (月、既定), year (年)")
        ->check(CLI::IsMember({"month", "year"}));
    summary->add_flag("--json", options->json, "JSON で出力します");

    CLI::App* import =
        subcommand(*tickets, "import", "CSV の券をすべて取り込みます (1 行でも誤りがあれば何も取り込みません)", options,
                   status, importTickets);
    import->add_option("file", options->file, "取り込む CSV ファイル")->required();
    import->add_flag("--yes", options->confirmOld, confirm);

    CLI::App* exportCommand =
        subcommand(*tickets, "export", "購入記録を CSV で書き出します (tickets import で読めます)", options, status,
                   exportTickets);
    exportCommand->add_option("--output", options->output, "書き出す CSV ファイル (既定と - は標準出力)");
}

}  // namespace tolvi::cli
