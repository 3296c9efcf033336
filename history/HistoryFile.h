#pragma once
// The history file Numbers.dat as an open file: opened as an existing file for reading and
// writing (never created), closed by the destructor on every path.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tolvi {

inline constexpr std::size_t kRecordSize = 87;     // bytes of one draw record, CR LF included
inline constexpr char kEndOfFileByte = 0x1A;       // the optional single byte after the last record
inline constexpr const char* kHistoryFileName = "Numbers.dat";

class HistoryFile {
public:
    // Opens `path` for reading and writing. Fails (IoError) when it is missing, read-only or
    // not a regular file.
    static HistoryFile openExisting(const std::filesystem::path& path);

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
    const std::filesystem::path& path() const { return path_; }

private:
    HistoryFile(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {}
    [[noreturn]] void fail(const char* action, int errorNumber) const;

    int fd_ = -1;
    std::filesystem::path path_;
};

}  // namespace tolvi
