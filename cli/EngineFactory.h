#pragma once

#include "engine/PredictionEngine.h"
#include "design/WindowDesign.h"

#include <CLI/CLI.hpp>

#include <memory>

namespace tolvi::cli {

// The tool links both editions' engines; each program links only its own.
std::unique_ptr<PredictionEngine> makeEngine(Edition edition);

// --edition numbers3|mini of a command.
void addEditionOption(CLI::App& command, Edition& edition);

}  // namespace tolvi::cli
