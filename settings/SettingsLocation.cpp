#include "settings/SettingsLocation.h"

#include "base/Errors.h"
#include "settings/SettingsFile.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <system_error>

namespace tolvi {

namespace fs = std::filesystem;

namespace {

constexpr const char* kFolderName = "tolvi-numbers";

std::string environmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Makes every missing folder on the way with mode 0700, as the XDG base-directory rules ask of
// folders made under the user's configuration folder. Failures are left to the save that follows,
// whose error then names the file.
void makeFolders(const fs::path& folder)
{
    fs::path path;
    for (const fs::path& part : folder) {
        path /= part;
        std::error_code error;
        if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST && !fs::is_directory(path, error))
            return;
    }
}

}  // namespace

SettingsLocation::UserFolders SettingsLocation::UserFolders::fromEnvironment()
{
    return {environmentValue("HOME"), environmentValue("XDG_CONFIG_HOME")};
}

SettingsLocation::SettingsLocation(const fs::path& programPath, const UserFolders& user)
    : besideProgram_(SettingsFile::pathForProgram(programPath))
{
    fs::path configHome;
    if (fs::path(user.xdgConfigHome).is_absolute())
        configHome = user.xdgConfigHome;
    else if (fs::path(user.home).is_absolute())
        configHome = fs::path(user.home) / ".config";
    if (!configHome.empty())
        perUser_ = configHome / kFolderName / besideProgram_.filename();

    writePath_ = (perUser_.empty() || SettingsFile::canSave(besideProgram_)) ? besideProgram_ : perUser_;
    std::error_code error;
    readPath_ = (writePath_ == perUser_ && !fs::exists(perUser_, error) && fs::exists(besideProgram_, error))
                    ? besideProgram_
                    : writePath_;
}

void SettingsLocation::saveMismatch(bool mismatch) const
{
    if (writePath_ == besideProgram_) {
        try {
            SettingsFile::saveMismatch(besideProgram_, mismatch);
            return;
        } catch (const IoError&) {
            if (perUser_.empty())
                throw;
        }
    }
    makeFolders(perUser_.parent_path());
    SettingsFile::saveMismatch(perUser_, mismatch);
}

}  // namespace tolvi
