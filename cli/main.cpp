// tolvi: the programs' core without a window, for scripting and for tests.

#include "cli/Commands.h"

#include <clocale>
#include <iostream>

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");
    CLI::App app {"Tolvi Numbers の予想・結果入力をウィンドウなしで行います。"};
    app.require_subcommand(1);
    int status = 0;
    tolvi::cli::addRunCommand(app, status);
    tolvi::cli::addAppendCommand(app, status);
    tolvi::cli::addCheckCommand(app, status);
    tolvi::cli::addFetchCommand(app, status);
    tolvi::cli::addImportCommand(app, status);
    tolvi::cli::addExportCommand(app, status);
    tolvi::cli::addStatsCommand(app, status);
    tolvi::cli::addCalendarCommand(app, status);
    tolvi::cli::addUpdateCommand(app, status);
    tolvi::cli::addRestoreCommand(app, status);
    tolvi::cli::addAnalyzeCommand(app, status);
    tolvi::cli::addTicketsCommand(app, status);
    app.set_version_flag("--version", "tolvi " TOLVI_VERSION, "バージョンを表示して終わります");
    tolvi::cli::speakJapanese(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);
        // Usage errors end with 2; --help ends with 0.
        return code == 0 ? 0 : 2;
    }
    return status;
}
