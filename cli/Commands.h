#pragma once
// The subcommands of the `tolvi` tool. Each adds itself to the application and returns the
// exit status of its run through `status`.

#include <CLI/CLI.hpp>

namespace tolvi::cli {

void addRunCommand(CLI::App& app, int& status);
void addAppendCommand(CLI::App& app, int& status);
void addCheckCommand(CLI::App& app, int& status);
void addFetchCommand(CLI::App& app, int& status);
void addImportCommand(CLI::App& app, int& status);
void addExportCommand(CLI::App& app, int& status);

}  // namespace tolvi::cli
