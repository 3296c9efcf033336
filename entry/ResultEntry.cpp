// Placeholder until result entry is built.
#include "entry/ResultEntry.h"

#include "engine/NumberFormat.h"
#include "history/Errors.h"

namespace tolvi {

std::string entryPanelTitle(std::int32_t drawNumber)
{
    return "第" + formatInt(drawNumber, 4) + "回　結果データの入力";
}

bool checkNumEditData(std::string_view text)
{
    for (const char c : text)
        if (c < '0' || c > '9')
            return true;
    return false;
}

std::optional<std::string> validateEntry(const EntryFields&)
{
    return std::nullopt;
}

std::string appendEntry(const std::filesystem::path&, const EntryFields&)
{
    throw RefusedError("結果データの書き込みはまだできません");
}

}  // namespace tolvi
