// Placeholder until the Mini engine is built.
#include "engine/MiniEngine.h"

#include <stdexcept>

namespace tolvi {

void MiniEngine::run(const RunRequest&, RunView&)
{
    throw std::runtime_error("ミニ版のエンジンはまだありません");
}

}  // namespace tolvi
