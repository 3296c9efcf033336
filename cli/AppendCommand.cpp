// tolvi append: enters one draw's result as the entry panel's "入力" does.

#include "cli/Commands.h"
#include "entry/EntryFields.h"
#include "entry/ResultEntry.h"
#include "history/HistoryFile.h"

#include <iostream>
#include <memory>
#include <vector>

namespace tolvi::cli {

namespace {

struct AppendOptions {
    std::string dir = ".";
    std::vector<std::string> texts;
};

int appendOnce(const AppendOptions& options)
{
    EntryFields fields;
    for (std::size_t i = 0; i < kEntryFieldCount; ++i)
        fields[i] = options.texts[i];
    return printingErrors([&] {
        std::cout << appendEntry(std::filesystem::path(options.dir) / kHistoryFileName, fields) << '\n';
        return 0;
    });
}

}  // namespace

void addAppendCommand(CLI::App& app, int& status)
{
    auto options = std::make_shared<AppendOptions>();
    CLI::App* append = app.add_subcommand(
        "append", "次の回の結果データを 1 件、結果入力の「入力」と同じ検査をして Numbers.dat に追記します");
    addHistoryDirOption(*append, options->dir);
    append
        ->add_option("fields", options->texts,
                     "Numbers3 の当選番号と 5 つの金額 (ストレート、ボックス、"
                     "セットストレート、セットボックス、ミニ)、Numbers4 の当選番号と 4 つの金額")
        ->expected(int(kEntryFieldCount))
        ->required();
    // Field texts such as "-5" are values to be checked, not options.
    append->positionals_at_end();
    append->callback([options, &status] { status = appendOnce(*options); });
}

}  // namespace tolvi::cli
