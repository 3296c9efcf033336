#include "settings/SettingsFile.h"

#include "base/Errors.h"
#include "settings/IniFile.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace tolvi {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSection = "Option";
constexpr std::string_view kKey = "Mismatch";

// The whole text must be a decimal integer that fits 32 bits, with an optional sign: "12abc",
// "0x10", "1.0" and "" are not integers and leave the setting at its default.
std::optional<std::int32_t> parseInteger(std::string_view text)
{
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '+' || text.front() == '-'))
            return std::nullopt;
    }
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

IoError cannotWrite(const fs::path& path)
{
    std::error_code ignored;
    fs::path full = fs::absolute(path, ignored);
    if (full.empty())
        full = path;
    return IoError(full.string() + " に書き込めません。");
}

// A settings file reached through a symbolic link is edited where it lies; replacing the link
// with a plain file would quietly detach it from the file the user keeps elsewhere.
fs::path resolveLink(const fs::path& path)
{
    std::error_code error;
    if (fs::is_symlink(path, error)) {
        fs::path target = fs::canonical(path, error);
        if (!error)
            return target;
    }
    return path;
}

// A file beyond SettingsFile::kLargestFile is not read on: reading it whole (at every start of
// the window) would only cost time and memory.
constexpr std::size_t kLargestSettingsFile = SettingsFile::kLargestFile;

bool readWhole(const fs::path& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.resize(kLargestSettingsFile + 1);
    in.read(bytes.data(), std::streamsize(bytes.size()));
    bytes.resize(std::size_t(in.gcount()));
    return !in.bad() && bytes.size() <= kLargestSettingsFile;
}

// Owns the descriptor of the temporary file and removes the file unless it has been renamed
// into place, so a failure at any step leaves the directory as it was.
class TemporaryFile {
public:
    TemporaryFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) { }
    ~TemporaryFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (!committed_)
            ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return fd_; }
    const std::string& path() const { return path_; }
    bool close()
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }
    void commit() { committed_ = true; }

private:
    int fd_;
    std::string path_;
    bool committed_ = false;
};

std::optional<TemporaryFile> createTemporaryBeside(const fs::path& target)
{
    const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::random_device entropy;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string name = "." + target.filename().string() + "." + std::to_string(::getpid()) + "." +
                                 std::to_string(entropy() % 1000000u) + ".tmp";
        const std::string path = (directory / name).string();
        // Mode 0666 lets the process's umask decide, as for any newly created file.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return std::optional<TemporaryFile>(std::in_place, fd, path);
        if (errno != EEXIST)
            return std::nullopt;
    }
    return std::nullopt;
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(std::size_t(written));
    }
    return true;
}

enum class Replaced { Yes, NoTemporaryFile, No };

// Writes `bytes` into a new file beside `target` and renames it over `target`, so that readers
// see either the old file or the complete new one, never a half-written one.
Replaced replaceFile(const fs::path& target, std::string_view bytes, const struct stat* old)
{
    std::optional<TemporaryFile> temporary = createTemporaryBeside(target);
    if (!temporary)
        return Replaced::NoTemporaryFile;
    if (!writeAll(temporary->fd(), bytes) || ::fsync(temporary->fd()) != 0)
        return Replaced::No;
    if (old) {
        if (::fchmod(temporary->fd(), old->st_mode & 07777) != 0)
            return Replaced::No;
        // Only a privileged process may give the file back to another owner; the file then
        // simply belongs to whoever saved it, as a newly written file would.
        if (::fchown(temporary->fd(), old->st_uid, old->st_gid) != 0) { }
    }
    if (!temporary->close())
        return Replaced::No;
    if (::rename(temporary->path().c_str(), target.c_str()) != 0)
        return Replaced::No;
    temporary->commit();

    const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const int directoryFd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directoryFd >= 0) {
        ::fsync(directoryFd);
        ::close(directoryFd);
    }
    return Replaced::Yes;
}

// An existing settings file that may be rewritten: a regular file, not marked read-only (no
// write permission bit at all; it then stays untouched even for a user whose rights would let
// the rename replace it) and writable for this user.
bool takesWrites(const fs::path& file, const struct stat& status)
{
    return S_ISREG(status.st_mode) && (status.st_mode & 0222) != 0 && ::access(file.c_str(), W_OK) == 0;
}

// For a writable settings file in a folder that takes no new files (a shared installation
// where only the file was opened up for writing): rewrite the file where it is. The file is a
// few dozen bytes, written in one call.
bool rewriteInPlace(const fs::path& target, std::string_view bytes)
{
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool written = writeAll(fd, bytes) && ::ftruncate(fd, off_t(bytes.size())) == 0 && ::fsync(fd) == 0;
    return ::close(fd) == 0 && written;
}

}  // namespace

fs::path SettingsFile::pathForProgram(const fs::path& programPath)
{
    fs::path path = programPath;
    return path.replace_extension(".ini");
}

std::optional<std::string> SettingsFile::loadValue(const fs::path& settingsPath, std::string_view section,
                                                   std::string_view key)
{
    try {
        std::error_code error;
        // Anything but a regular file (a folder, a pipe that would block) is no settings file.
        if (!fs::is_regular_file(settingsPath, error))
            return std::nullopt;
        std::string bytes;
        if (!readWhole(settingsPath, bytes))
            return std::nullopt;
        return IniFile(std::move(bytes)).value(section, key);
    } catch (...) {
        return std::nullopt;
    }
}

bool SettingsFile::loadMismatch(const fs::path& settingsPath)
{
    constexpr bool kDefault = true;
    try {
        const std::optional<std::string> text = loadValue(settingsPath, kSection, kKey);
        if (!text)
            return kDefault;
        const std::optional<std::int32_t> value = parseInteger(*text);
        if (!value)
            return kDefault;
        return (static_cast<std::uint32_t>(*value) & 0xFFu) != 0;
    } catch (...) {
        return kDefault;
    }
}

void SettingsFile::saveMismatch(const fs::path& settingsPath, bool mismatch)
{
    saveValue(settingsPath, kSection, kKey, mismatch ? "1" : "0");
}

void SettingsFile::saveValue(const fs::path& settingsPath, std::string_view section, std::string_view key,
                             std::string_view value)
{
    const fs::path target = resolveLink(settingsPath);
    std::string bytes;
    struct stat old { };
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists) {
        // A file that cannot be read back cannot be kept intact.
        if (!takesWrites(target, old) || !readWhole(target, bytes))
            throw cannotWrite(settingsPath);
    } else if (errno != ENOENT) {
        throw cannotWrite(settingsPath);
    }

    IniFile ini(std::move(bytes));
    ini.setValue(section, key, value);
    const Replaced replaced = replaceFile(target, ini.bytes(), exists ? &old : nullptr);
    if (replaced == Replaced::Yes)
        return;
    if (replaced == Replaced::NoTemporaryFile && exists && rewriteInPlace(target, ini.bytes()))
        return;
    throw cannotWrite(settingsPath);
}

bool SettingsFile::canSave(const fs::path& settingsPath)
{
    struct stat status { };
    if (::stat(settingsPath.c_str(), &status) == 0)
        return takesWrites(settingsPath, status);
    if (errno != ENOENT)
        return false;
    const fs::path folder = settingsPath.has_parent_path() ? settingsPath.parent_path() : fs::path(".");
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace tolvi
