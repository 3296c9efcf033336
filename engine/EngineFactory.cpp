#include "engine/EngineFactory.h"

#include <stdexcept>

namespace tolvi {

std::unique_ptr<PredictionEngine> makeEngine(Edition edition)
{
    switch (edition) {
    case Edition::Numbers3: return makeEngineOf<Edition::Numbers3>();
    case Edition::Mini: return makeEngineOf<Edition::Mini>();
    }
    throw std::logic_error("unknown edition");
}

}  // namespace tolvi
