#pragma once

#include "engine/EngineFactory.h"
#include "games/Editions.h"

#include <CLI/CLI.hpp>

namespace tolvi::cli {

// --edition numbers3|mini of a command: the editions' tool names.
void addEditionOption(CLI::App& command, Edition& edition);

}  // namespace tolvi::cli
