#include "history/HistoryFile.h"

#include "base/Errors.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvi {

std::filesystem::path HistoryFile::fullPath(const std::filesystem::path& path)
{
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    return error ? path : full.lexically_normal();
}

std::optional<HistoryFile> HistoryFile::openIfExists(const std::filesystem::path& path, Access access)
{
    const int fd = ::open(path.c_str(), (access == Access::Read ? O_RDONLY : O_RDWR) | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT)
        return std::nullopt;
    if (fd < 0)
        throw IoError(describeSystemError("履歴ファイル " + fullPath(path).string() + " を開けません", errno));
    HistoryFile file(fd, fullPath(path));
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        file.fail("の状態を読めません", errno);
    if (!S_ISREG(info.st_mode))
        throw IoError("履歴ファイル " + file.path().string() + " を開けません: 通常のファイルではありません");
    return file;
}

HistoryFile HistoryFile::open(const std::filesystem::path& path, Access access)
{
    std::optional<HistoryFile> file = openIfExists(path, access);
    if (!file)
        throw IoError(describeSystemError("履歴ファイル " + fullPath(path).string() + " を開けません", ENOENT));
    return std::move(*file);
}

HistoryFile::HistoryFile(HistoryFile&& other) noexcept : fd_(other.fd_), path_(std::move(other.path_))
{
    other.fd_ = -1;
}

HistoryFile& HistoryFile::operator=(HistoryFile&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.fd_;
        path_ = std::move(other.path_);
        other.fd_ = -1;
    }
    return *this;
}

HistoryFile::~HistoryFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void HistoryFile::fail(const char* action, int errorNumber) const
{
    throw IoError(describeSystemError("履歴ファイル " + path_.string() + " " + action, errorNumber));
}

std::int64_t HistoryFile::size() const
{
    struct stat info {};
    if (::fstat(fd_, &info) != 0)
        fail("の大きさを読めません", errno);
    return info.st_size;
}

std::string HistoryFile::readAt(std::int64_t offset, std::size_t count) const
{
    std::string bytes(count, '\0');
    bytes.resize(readInto(offset, bytes.data(), count));
    return bytes;
}

std::size_t HistoryFile::readInto(std::int64_t offset, char* buffer, std::size_t count) const
{
    if (offset < 0)
        fail("の読み込み位置が先頭より前です", EINVAL);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd_, buffer + done, count - done, offset + std::int64_t(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("を読めません", errno);
        }
        done += std::size_t(n);
        // A read of a regular file comes back short only at its end. Reading on from there could
        // join the bytes of a record appended meanwhile to the 0x1A byte it overwrote.
        if (n == 0 || done < count)
            break;
    }
    return done;
}

std::string HistoryFile::readAll() const
{
    // One read of the whole file as it is now; the reads go straight into the one buffer, since a
    // history is read whole by every run. A file that grew meanwhile is read on to its new end,
    // each further read starting at a record boundary: an append writes its record over the 0x1A
    // byte after the last record, so the bytes after that boundary may have changed since they
    // were read, and joining newer bytes to them would shift the fields of every later record.
    std::string content(std::size_t(std::max<std::int64_t>(size(), 0)) + 1, '\0');
    std::size_t done = 0;
    for (;;) {
        const std::size_t wanted = content.size() - done;
        const ssize_t n = ::pread(fd_, content.data() + done, wanted, std::int64_t(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("を読めません", errno);
        }
        done += std::size_t(n);
        if (std::size_t(n) < wanted)
            break;  // the end of the file as it is now
        done -= done % kRecordSize;
        content.resize(done + (std::size_t(1) << 16));
    }
    content.resize(done);
    return content;
}

void HistoryFile::writeAt(std::int64_t offset, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done, offset + std::int64_t(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("に書き込めません", errno);
        }
        if (n == 0)
            fail("に書き込めません", EIO);
        done += std::size_t(n);
    }
}

void HistoryFile::truncate(std::int64_t length)
{
    if (::ftruncate(fd_, length) != 0)
        fail("の長さを戻せません", errno);
}

void HistoryFile::sync()
{
    if (::fsync(fd_) != 0)
        fail("をディスクに書き出せません", errno);
}

}  // namespace tolvi
