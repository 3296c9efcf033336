// tolvi check: lists everything in Numbers.dat that would break a reader or an append.

#include "cli/Commands.h"
#include "history/HistoryChecker.h"
#include "history/HistoryFile.h"

#include <algorithm>
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

int checkOnce(const CheckOptions& options)
{
    const std::filesystem::path path = HistoryFile::fullPath(std::filesystem::path(options.dir) / kHistoryFileName);
    return printingErrors([&] {
        const HistoryChecker::Report report = HistoryChecker::checkFile(path);
        for (const std::string& cause : report.causes)
            std::cout << "原因: " << cause << '\n';
        const std::size_t listed = options.all ? report.problems.size() : std::min(report.problems.size(), kListedProblems);
        for (std::size_t i = 0; i < listed; ++i)
            std::cout << report.problems[i].message << '\n';
        if (listed < report.problems.size())
            std::cout << "ほか " << report.problems.size() - listed << " 件 (すべて表示するには --all)\n";
        if (!report.problems.empty()) {
            std::cout << path.string() << ": 問題が " << report.problems.size() << " 件見つかりました。\n";
            return 1;
        }
        std::cout << path.string() << ": 問題はありません (レコード " << report.records << " 件、うちコメント "
                  << report.comments << " 件、最後の回号 " << report.lastDraw << ")。\n";
        return 0;
    });
}

}  // namespace

void addCheckCommand(CLI::App& app, int& status)
{
    auto options = std::make_shared<CheckOptions>();
    CLI::App* check = app.add_subcommand(
        "check", "Numbers.dat を調べ、読み込みや追記を妨げる箇所とその原因・直し方を表示します");
    addHistoryDirOption(*check, options->dir);
    check->add_flag("--all", options->all, "見つかった問題を最初の 20 件だけでなく、すべて表示します");
    check->callback([options, &status] { status = checkOnce(*options); });
}

}  // namespace tolvi::cli
