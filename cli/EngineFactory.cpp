#include "cli/EngineFactory.h"

#include <map>

namespace tolvi::cli {

void addEditionOption(CLI::App& command, Edition& edition)
{
    std::map<std::string, Edition> editions;
    std::string names, help;
    for (const Edition each : kEditions) {
        const std::string name = describe(each).toolName;
        editions.emplace(name, each);
        names += (names.empty() ? "" : "|") + name;
        help += (help.empty() ? "" : " または ") + name;
    }
    command.add_option("--edition", edition, help)
        ->transform(CLI::CheckedTransformer(editions, CLI::ignore_case))
        ->option_text(names);
}

}  // namespace tolvi::cli
