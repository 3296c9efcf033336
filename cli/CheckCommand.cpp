// tolvi check: lists everything in Numbers.dat that would break a reader or an append.

#include "cli/Commands.h"
#include "history/HistoryChecker.h"
#include "history/HistoryFile.h"

#include <iostream>
#include <memory>

namespace tolvi::cli {

namespace {

int checkOnce(const std::string& dir)
{
    const std::filesystem::path path = std::filesystem::path(dir) / kHistoryFileName;
    HistoryChecker::Report report;
    try {
        report = HistoryChecker::checkFile(path);
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    for (const HistoryChecker::Problem& problem : report.problems)
        std::cout << problem.message << '\n';
    if (!report.problems.empty()) {
        std::cout << path.string() << ": 問題が " << report.problems.size() << " 件見つかりました。\n";
        return 1;
    }
    std::cout << path.string() << ": 問題はありません (レコード " << report.records << " 件、うちコメント "
              << report.comments << " 件、最後の回号 " << report.lastDraw << ")。\n";
    return 0;
}

}  // namespace

void addCheckCommand(CLI::App& app, int& status)
{
    auto dir = std::make_shared<std::string>(".");
    CLI::App* check = app.add_subcommand("check", "Numbers.dat を調べ、読み込みや追記を妨げる箇所を 1 行ずつ表示します");
    check->add_option("--dir", *dir, "Numbers.dat のあるフォルダー (既定: カレントフォルダー)");
    check->callback([dir, &status] { status = checkOnce(*dir); });
}

}  // namespace tolvi::cli
