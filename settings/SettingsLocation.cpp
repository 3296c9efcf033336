#include "settings/SettingsLocation.h"

#include "settings/SettingsFile.h"
#include "base/Errors.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace tolvi {

namespace fs = std::filesystem;

namespace {

constexpr const char* kFolderName = "tolvi-numbers";

std::string environmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The same test SettingsFile::saveMismatch applies before it writes: an existing file must be a
// regular file, not marked read-only and writable for this user (it is then rewritten, in place
// if need be); a missing one needs a folder that takes new files. access() also refuses a
// read-only file system and an immutable folder, which bind even root.
bool canWrite(const fs::path& file)
{
    struct stat status {};
    if (::stat(file.c_str(), &status) == 0)
        return S_ISREG(status.st_mode) && (status.st_mode & 0222) != 0 && ::access(file.c_str(), W_OK) == 0;
    if (errno != ENOENT)
        return false;
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
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

    writePath_ = (perUser_.empty() || canWrite(besideProgram_)) ? besideProgram_ : perUser_;
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
