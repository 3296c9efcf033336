// tolvi restore: lists the copies of the history kept in backups/ and puts one back.

#include "cli/Commands.h"
#include "history/HistoryBackups.h"
#include "history/HistoryFile.h"

#include <iostream>
#include <memory>

namespace tolvi::cli {

namespace {

struct RestoreOptions {
    std::string dir = ".";
    bool list = false;
    std::size_t number = 0;  // 0: none given, the copies are listed
};

int restoreOnce(const RestoreOptions& options)
{
    return printingErrors([&] {
        const std::filesystem::path path = HistoryFile::fullPath(std::filesystem::path(options.dir) / kHistoryFileName);
        const HistoryBackups backups(path);
        if (options.list || options.number == 0) {
            const std::vector<HistoryBackup> found = backups.list();
            if (found.empty()) {
                std::cout << backups.folder().string() << " にバックアップはまだありません。\n";
                return 0;
            }
            std::cout << path.string() << " のバックアップ (" << backups.folder().string() << "、新しい順):\n"
                      << describeBackups(found) << "戻すには: tolvi restore 番号\n";
            return 0;
        }
        const HistoryBackup restored = backups.restore(options.number);
        std::cout << path.string() << " を" << describeBackup(restored)
                  << "に戻しました。戻す前の内容もバックアップしてあります (tolvi restore --list)。\n";
        return 0;
    });
}

}  // namespace

void addRestoreCommand(CLI::App& app, int& status)
{
    auto options = std::make_shared<RestoreOptions>();
    CLI::App* restore = app.add_subcommand(
        "restore", "結果の追加の前に backups/ に取っておいた履歴ファイルの写しを一覧し、選んだものに戻します");
    addHistoryDirOption(*restore, options->dir);
    CLI::Option* list =
        restore->add_flag("--list", options->list, "バックアップを新しい順に番号付きで表示します (既定)");
    restore->add_option("number", options->number, "戻すバックアップの番号 (--list で表示される 1 から)")
        ->check(CLI::PositiveNumber)
        ->excludes(list);
    restore->callback([options, &status] { status = restoreOnce(*options); });
}

}  // namespace tolvi::cli
