// Placeholders replaced as the entry commands are built.
#include "cli/Commands.h"

#include <iostream>

namespace tolvi::cli {

void addAppendCommand(CLI::App&, int&) {}
void addCheckCommand(CLI::App&, int&) {}
void addFetchCommand(CLI::App&, int&) {}

}  // namespace tolvi::cli
