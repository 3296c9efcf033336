// Placeholder until this command is built.
#include "cli/Commands.h"

namespace tolvi::cli {

void addAppendCommand(CLI::App&, int&) {}

}  // namespace tolvi::cli
