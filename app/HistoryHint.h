#pragma once
// What the window adds to an error about a history file that is not there. The programs read
// Numbers.dat in the folder they are started in; installed, their desktop menu entries start them
// in the user's data folder, where the history is. Started from anywhere else (a terminal in the
// home folder), the error alone does not say where the history went.

#include "games/Editions.h"

#include <QString>

#include <filesystem>

// The data folder the desktop entries start the programs in (app/desktop/tolvi-numbers-launch):
// $XDG_DATA_HOME/tolvi-numbers when XDG_DATA_HOME is an absolute path, else
// ~/.local/share/tolvi-numbers; empty without a home folder.
std::filesystem::path dataFolder();

// For an error whose text names `historyPath` while there is no such file: two sentences naming
// the data folder and the menu entry that starts the program there, after a blank line. Empty in
// every other case, and when the program already runs in the data folder.
QString missingHistoryNote(const QString& errorText, const std::filesystem::path& historyPath, tolvi::Edition edition);
