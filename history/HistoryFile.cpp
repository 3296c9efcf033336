#include "history/HistoryFile.h"

#include "history/Errors.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvi {

HistoryFile HistoryFile::openExisting(const std::filesystem::path& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        throw IoError(describeSystemError("履歴ファイル " + path.string() + " を開けません", errno));
    HistoryFile file(fd, path);
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        file.fail("の状態を読めません", errno);
    if (!S_ISREG(info.st_mode))
        throw IoError("履歴ファイル " + path.string() + " を開けません: 通常のファイルではありません");
    return file;
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
        if (n == 0)
            break;
        done += std::size_t(n);
    }
    return done;
}

std::string HistoryFile::readAll() const
{
    // Read until a read returns nothing, so a file that grows or shrinks meanwhile is still read
    // consistently up to where it ends. The reads go straight into the one buffer: a history is
    // read whole by every run.
    std::string content(std::size_t(std::max<std::int64_t>(size(), 0)) + 1, '\0');
    std::size_t done = 0;
    for (;;) {
        if (done == content.size())
            content.resize(content.size() + (std::size_t(1) << 16));
        const ssize_t n = ::pread(fd_, content.data() + done, content.size() - done, std::int64_t(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("を読めません", errno);
        }
        if (n == 0)
            break;
        done += std::size_t(n);
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
