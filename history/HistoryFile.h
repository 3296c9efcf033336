#pragma once
// The history file Numbers.dat as an open file, closed by the destructor on every path. The
// programs only ever open an existing file; only an import may bring a new one into being, and it
// does so whole (HistoryAppender), never as an empty file that others could see.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tolvi {

inline constexpr std::size_t kRecordSize = 87;  // bytes of one draw record, CR LF included
inline constexpr char kEndOfFileByte = 0x1A;    // the optional single byte after the last record
inline constexpr const char* kHistoryFileName = "Numbers.dat";

class HistoryFile {
public:
    enum class Access { Read, ReadWrite };

    // Opens `path` for reading and writing. Fails (IoError) when it is missing, read-only or
    // not a regular file (a FIFO is refused at once, never waited on).
    static HistoryFile openExisting(const std::filesystem::path& path) { return open(path, Access::ReadWrite); }
    // Opens `path` for reading only: a run needs nothing more, so a read-only history serves it.
    static HistoryFile openForReading(const std::filesystem::path& path) { return open(path, Access::Read); }
    static HistoryFile open(const std::filesystem::path& path, Access access);
    // As open(), but nothing when the file does not exist. A name that exists but leads nowhere
    // (a symlink to a missing file) is an IoError naming the link's target, and a FIFO or device
    // is refused without waiting on it.
    static std::optional<HistoryFile> openIfExists(const std::filesystem::path& path, Access access);

    // Creates `path` as a new empty file opened for reading and writing; nothing when a file (or
    // a link) of that name exists already. For the temporary files of a whole-file write.
    static std::optional<HistoryFile> createNew(const std::filesystem::path& path);

    HistoryFile(HistoryFile&& other) noexcept;
    HistoryFile& operator=(HistoryFile&& other) noexcept;
    HistoryFile(const HistoryFile&) = delete;
    HistoryFile& operator=(const HistoryFile&) = delete;
    ~HistoryFile();

    std::int64_t size() const;
    // Up to `count` bytes from `offset`; fewer only at the end of the file.
    std::string readAt(std::int64_t offset, std::size_t count) const;
    // The same into `buffer`: the number of bytes read, fewer than `count` only at the end.
    std::size_t readInto(std::int64_t offset, char* buffer, std::size_t count) const;
    // The whole content.
    std::string readAll() const;
    // Writes all of `bytes` at `offset` or raises IoError (possibly after a part was written).
    void writeAt(std::int64_t offset, std::string_view bytes);
    void truncate(std::int64_t length);
    void sync();

    int descriptor() const { return fd_; }
    // The full path, as messages name it.
    const std::filesystem::path& path() const { return path_; }

    // `path` made absolute, for messages: the programs open the history relative to their
    // working folder, and the user needs to know which folder that was.
    static std::filesystem::path fullPath(const std::filesystem::path& path);

private:
    HistoryFile(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) { }
    [[noreturn]] void fail(const char* action, int errorNumber) const;

    int fd_ = -1;
    std::filesystem::path path_;
};

}  // namespace tolvi
