#include "cli/EngineFactory.h"

#include "engine/MiniEngine.h"
#include "engine/Numbers3Engine.h"

namespace tolvi::cli {

std::unique_ptr<PredictionEngine> makeEngine(Edition edition)
{
    if (edition == Edition::Mini)
        return std::make_unique<MiniEngine>();
    return std::make_unique<Numbers3Engine>();
}

}  // namespace tolvi::cli
