// tolvi import: appends the draws that results files or addresses hold after the history's last.

#include "cli/Commands.h"
#include "history/HistoryFile.h"
#include "results/HistoryImport.h"

#include <iostream>
#include <memory>
#include <vector>

namespace tolvi::cli {

namespace {

struct ImportOptions {
    std::string dir = ".";
    bool dryRun = false;
    bool acceptDisagreement = false;
    std::vector<std::string> sources;
};

int importOnce(const ImportOptions& options)
{
    return printingErrors([&] {
        try {
            std::cout << describeImport(importFromSources(std::filesystem::path(options.dir) / kHistoryFileName,
                                                          options.sources, options.dryRun, options.acceptDisagreement));
        } catch (const RecentDisagreement& refused) {
            throw RefusedError(std::string(refused.what()) +
                               "\n違いを承知で追加するには --accept-disagreement を付けてください。");
        }
        return 0;
    });
}

}  // namespace

void addImportCommand(CLI::App& app, int& status)
{
    auto options = std::make_shared<ImportOptions>();
    CLI::App* import = app.add_subcommand(
        "import", "当せん結果の CSV (ファイルまたは http:// / https:// のアドレス) から、履歴ファイル Numbers.dat の"
                  "最後の回より後の結果をすべて追加します (Numbers.dat がなければ作ります)");
    addHistoryDirOption(*import, options->dir);
    import->add_flag("--dry-run", options->dryRun, "何を追加するかを表示するだけで、書き込みません");
    import->add_flag("--accept-disagreement", options->acceptDisagreement,
                     "履歴ファイルの最後の 10 回と結果が違う取り込み元からも、新しい回を追加します");
    import
        ->add_option("sources", options->sources,
                     "取り込み元: Numbers3 と Numbers4 の結果の CSV ファイルまたはアドレス")
        ->required();
    import->callback([options, &status] { status = importOnce(*options);
});
}  // namespace tolvi::cli

}  // namespace tolvi::cli
