#pragma once
// The engine of each edition. The tool chooses at run time and links both engines; a program
// names its own edition at compile time (makeEngineOf<Edition::Mini>()), so that it links only
// its own engine.

#include "engine/PredictionEngine.h"
#include "games/Editions.h"

#include <memory>

namespace tolvi {

// Defined beside each engine.
template <Edition edition> std::unique_ptr<PredictionEngine> makeEngineOf();

std::unique_ptr<PredictionEngine> makeEngine(Edition edition);

}  // namespace tolvi
