#pragma once
// The subcommands of the `tolvi` tool. Each adds itself to the application and returns the
// exit status of its run through `status`.

#include <CLI/CLI.hpp>

#include <functional>
#include <string>

namespace tolvi::cli {

// Runs `command`, which prints what it did and returns the exit status; an error it raises (of
// any type) is printed on standard error and gives the status 1, and so does standard output
// that could not be written.
int printingErrors(const std::function<int()>& command);

// The --dir option of every command that works on a history: the folder of its Numbers.dat.
void addHistoryDirOption(CLI::App& command, std::string& dir);

// Help texts and usage errors in Japanese, like everything else the programs say. Called once
// every command has been added.
void speakJapanese(CLI::App& app);

void addRunCommand(CLI::App& app, int& status);
void addAppendCommand(CLI::App& app, int& status);
void addCheckCommand(CLI::App& app, int& status);
void addFetchCommand(CLI::App& app, int& status);
void addImportCommand(CLI::App& app, int& status);
void addExportCommand(CLI::App& app, int& status);
void addStatsCommand(CLI::App& app, int& status);

}  // namespace tolvi::cli
