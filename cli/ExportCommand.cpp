// tolvi export: writes the history as CSV, for other programs and for a later import.

#include "cli/Commands.h"
#include "entry/HistoryExport.h"
#include "base/Errors.h"
#include "history/HistoryFile.h"
#include "history/HistoryReader.h"

#include <cerrno>
#include <fstream>
#include <iostream>
#include <memory>
#include <unistd.h>

namespace tolvi::cli {

namespace {

struct ExportOptions {
    std::string dir = ".";
    std::string output;
};

// Writes `text` to `path` through a temporary file beside it, so that a failed export never
// leaves a half-written file in place of an older good one.
void writeWhole(const std::filesystem::path& path, const std::string& text)
{
    const std::filesystem::path full = HistoryFile::fullPath(path);
    std::filesystem::path temporary = full;
    temporary += ".new-" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        out.flush();
        if (!out) {
            const int error = errno;
            std::error_code ignored;  // a folder that cannot be searched says more in the error below
            std::filesystem::remove(temporary, ignored);
            throw IoError(describeSystemError(full.string() + " に書き込めません", error));
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, full, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw IoError(describeSystemError(full.string() + " に書き込めません", error.value()));
    }
}

int exportOnce(const ExportOptions& options)
{
    return printingErrors([&] {
        const std::string csv =
            exportHistoryCsv(HistoryReader::readContent(std::filesystem::path(options.dir) / kHistoryFileName));
        if (options.output.empty())
            std::cout << csv << std::flush;
        else
            writeWhole(options.output, csv);
        return std::cout ? 0 : 1;
    });
}

}  // namespace

void addExportCommand(CLI::App& app, int& status)
{
    auto options = std::make_shared<ExportOptions>();
    CLI::App* exportCommand =
        app.add_subcommand("export", "履歴ファイル Numbers.dat を CSV で書き出します (tolvi import で読めます)");
    addHistoryDirOption(*exportCommand, options->dir);
    exportCommand->add_option("--output", options->output, "書き出す CSV ファイル (既定: 標準出力)");
    exportCommand->callback([options, &status] { status = exportOnce(*options); });
}

}  // namespace tolvi::cli
