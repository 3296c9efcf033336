#include "cli/EngineFactory.h"

#include "engine/MiniEngine.h"
#include "engine/Numbers3Engine.h"

#include <map>

namespace tolvi::cli {

std::unique_ptr<PredictionEngine> makeEngine(Edition edition)
{
    if (edition == Edition::Mini)
        return std::make_unique<MiniEngine>();
    return std::make_unique<Numbers3Engine>();
}

void addEditionOption(CLI::App& command, Edition& edition)
{
    const std::map<std::string, Edition> editions {{"numbers3", Edition::Numbers3}, {"mini", Edition::Mini}};
    command.add_option("--edition", edition, "numbers3 または mini")
        ->transform(CLI::CheckedTransformer(editions, CLI::ignore_case))
        ->option_text("numbers3|mini");
}

}  // namespace tolvi::cli
