// Placeholder until the settings file is built.
#include "app/SettingsFile.h"

namespace tolvi {

std::filesystem::path SettingsFile::pathForProgram(const std::filesystem::path& programPath)
{
    std::filesystem::path path = programPath;
    return path.replace_extension(".ini");
}

bool SettingsFile::loadMismatch(const std::filesystem::path&)
{
    return true;
}

void SettingsFile::saveMismatch(const std::filesystem::path&, bool) {}

}  // namespace tolvi
