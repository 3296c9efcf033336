#pragma once
// The subcommands of the `tolvi` tool. Each adds itself to the application and returns the
// exit status of its run through `status`.

#include <CLI/CLI.hpp>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace tolvi::cli {

// Runs `command`, which prints what it did and returns the exit status; an error it raises (of
// any type) is printed on standard error and gives the status 1, and so does standard output
// that could not be written.
int printingErrors(const std::function<int()>& command);

// The --dir option of every command that works on a history: the folder of its Numbers.dat.
// Without it `dir` becomes defaultHistoryFolder() once the command line is read (the option
// takes the command's parse-complete callback for that).
void addHistoryDirOption(CLI::App& command, std::string& dir);

// The folder whose Numbers.dat a command uses without --dir: the working folder when it holds
// one, else the user's data folder, where the installed programs keep the history. Says which
// on standard error, once per run of the tool.
std::filesystem::path defaultHistoryFolder();

// The columns `text` takes in a terminal: East Asian wide characters take two.
std::size_t displayWidth(std::string_view text);
// `text` followed by blanks up to `width` columns.
std::string padToWidth(const std::string& text, std::size_t width);

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
void addCalendarCommand(CLI::App& app, int& status);
void addUpdateCommand(CLI::App& app, int& status);
void addRestoreCommand(CLI::App& app, int& status);
void addAnalyzeCommand(CLI::App& app, int& status);
void addTicketsCommand(CLI::App& app, int& status);

}  // namespace tolvi::cli
