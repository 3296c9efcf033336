#pragma once
// Where the installed programs keep the user's history: the launcher starts the windows there and
// the tool falls back to it.

#include <filesystem>

namespace tolvi {

// ${XDG_DATA_HOME}/tolvi-numbers for an absolute XDG_DATA_HOME (the XDG base-directory rules
// ignore a relative one), else ~/.local/share/tolvi-numbers; empty without either variable.
std::filesystem::path userDataFolder();

}  // namespace tolvi
