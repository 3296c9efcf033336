#include "history/DataFolder.h"

#include <cstdlib>

namespace tolvi {

std::filesystem::path userDataFolder()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && std::filesystem::path(data).is_absolute())
        return std::filesystem::path(data) / "tolvi-numbers";
    const char* home = std::getenv("HOME");
    if (home && *home)
        return std::filesystem::path(home) / ".local/share/tolvi-numbers";
    return {};
}

}  // namespace tolvi
