// tolvi check: lists everything in Numbers.dat that would break a reader or an append.

#include "cli/Commands.h"
#include "history/HistoryChecker.h"
#include "history/HistoryFile.h"
#include "tickets/TicketLedger.h"

#include <cstdint>
#include <iostream>
#include <memory>

namespace tolvi::cli {

namespace {

// Problems listed one by one unless --all asks for every one: a file in another format has one
// in every record, and the causes above the list already say what is wrong.
constexpr std::size_t kListedProblems = 20;

struct CheckOptions {
    std::string dir = ".";
    bool all = false;
};

int checkHistory(const CheckOptions& options, const std::filesystem::path& path)
{
    return printingErrors([&] {
        const HistoryChecker::Report report = HistoryChecker::checkFile(path, options.all ? SIZE_MAX : kListedProblems);
        for (const std::string& cause : report.causes)
            std::cout << "原因: " << cause << '\n';
        for (const HistoryChecker::Problem& problem : report.problems)
            std::cout << problem.message << '\n';
        const std::int64_t unlisted = report.problemCount - std::int64_t(report.problems.size());
        if (unlisted > 0)
            std::cout << "ほか " << unlisted << " 件 (すべて表示するには --all)\n";
        if (report.problemCount > 0) {
            std::cout << path.string() << ": 問題が " << report.problemCount << " 件見つかりました。\n";
            return 1;
        }
        std::cout << path.string() << ": 問題はありません (レコード " << report.records << " 件、うちコメント "
                  << report.comments << " 件、最後の回号 " << report.lastDraw << ")。\n";
        return 0;
    });
}

// The purchase ledger beside the history, when there is one: SQLite's own integrity check, read
// only, so that a damaged ledger is reported and never touched.
int checkLedger(const std::filesystem::path& historyPath)
{
    const std::filesystem::path ledger = TicketLedger::pathIn(historyPath.parent_path());
    std::error_code missing;
    if (!std::filesystem::exists(ledger, missing))
        return 0;
    return printingErrors([&] {
        const std::vector<std::string> problems = TicketLedger::check(ledger);
        for (const std::string& problem : problems)
            std::cout << "購入記録: " << problem << '\n';
        if (!problems.empty()) {
            std::cout << ledger.string() << ": 問題が見つかりました。ファイルはそのままにしてあります"
                      << " (写しを取ってから sqlite3 の .recover で修復できます)。\n";
            return 1;
        }
        std::cout << ledger.string() << ": 問題はありません。\n";
        return 0;
    });
}

int checkOnce(const CheckOptions& options)
{
    const std::filesystem::path path = HistoryFile::fullPath(std::filesystem::path(options.dir) / kHistoryFileName);
    const int history = checkHistory(options, path);
    const int ledger = checkLedger(path);
    return history != 0 ? history : ledger;
}

}  // namespace

void addCheckCommand(CLI::App& app, int& status)
{
    auto options = std::make_shared<CheckOptions>();
    CLI::App* check =
        app.add_subcommand("check", "Numbers.dat を調べ、読み込みや追記を妨げる箇所とその原因・直し方を表示します "
                                    "(購入記録 tickets.sqlite があればその整合性も)");
    addHistoryDirOption(*check, options->dir);
    check->add_flag("--all", options->all, "見つかった問題を最初の 20 件だけでなく、すべて表示します");
    check->callback([options, &status] { status = checkOnce(*options); });
}

}  // namespace tolvi::cli
