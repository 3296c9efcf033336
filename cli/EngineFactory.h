#pragma once

#include "engine/PredictionEngine.h"
#include "design/WindowDesign.h"

#include <memory>

namespace tolvi::cli {

// The tool links both editions' engines; each program links only its own.
std::unique_ptr<PredictionEngine> makeEngine(Edition edition);

}  // namespace tolvi::cli
