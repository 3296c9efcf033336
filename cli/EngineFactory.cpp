#include "cli/EngineFactory.h"

#include "engine/Numbers3Engine.h"

#include <stdexcept>

namespace tolvi::cli {

std::unique_ptr<PredictionEngine> makeEngine(Edition edition)
{
    if (edition == Edition::Mini)
        throw std::runtime_error("ミニ版のエンジンはまだありません");
    return std::make_unique<Numbers3Engine>();
}

}  // namespace tolvi::cli
