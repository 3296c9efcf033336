// tolvi export: writes the history as CSV, for other programs and for a later import.

#include "cli/Commands.h"
#include "history/HistoryFile.h"
#include "history/HistoryReader.h"
#include "results/HistoryExport.h"

#include <iostream>
#include <memory>

namespace tolvi::cli {

namespace {

struct ExportOptions {
    std::string dir = ".";
    std::string output;
};

int exportOnce(const ExportOptions& options)
{
    return printingErrors([&] {
        const std::filesystem::path history = std::filesystem::path(options.dir) / kHistoryFileName;
        const std::string csv = exportHistoryCsv(HistoryReader::readContent(history));
        if (options.output.empty() || options.output == "-")
            std::cout << csv;
        else if (const std::string note = writeExportFile(options.output, csv, history); !note.empty())
            std::cerr << note << '\n';
        return 0;
    });
}

}  // namespace

void addExportCommand(CLI::App& app, int& status)
{
    auto options = std::make_shared<ExportOptions>();
    CLI::App* exportCommand =
        app.add_subcommand("export", "履歴ファイル Numbers.dat を CSV で書き出します (tolvi import で読めます)");
    addHistoryDirOption(*exportCommand, options->dir);
    exportCommand->add_option("--output", options->output, "書き出す CSV ファイル (既定と - は標準出力)");
    exportCommand->callback([options, &status] { status = exportOnce(*options); });
}

}  // namespace tolvi::cli
