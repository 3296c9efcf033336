// Placeholder until this command is built.
#include "cli/Commands.h"

namespace tolvi::cli {

void addFetchCommand(CLI::App&, int&) {}

}  // namespace tolvi::cli
