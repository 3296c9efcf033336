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

namespace {

// The name `path` exists but names nothing that can be opened: a symlink whose target is
// missing (or a loop of links). Telling "no file" would make an import create one beside the
// link and never succeed; the user has to mend or remove the link.
void refuseBrokenLink(const std::filesystem::path& path, const std::filesystem::path& full)
{
    struct stat info { };
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return;
    std::error_code error;
    const std::filesystem::path target = std::filesystem::read_symlink(path, error);
    throw IoError("履歴ファイル " + full.string() + " を開けません: シンボリックリンクの指す先 " +
                  (error ? std::string("(読めません)") : target.string()) +
                  " がありません。リンクを直すか削除してください");
}

}  // namespace

std::optional<HistoryFile> HistoryFile::openIfExists(const std::filesystem::path& path, Access access)
{
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer for ever, before
    // the check below could refuse it. A regular file is not affected by the flag.
    const int fd = ::open(path.c_str(), (access == Access::Read ? O_RDONLY : O_RDWR) | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0 && (errno == ENOENT || errno == ELOOP))
        refuseBrokenLink(path, fullPath(path));
    if (fd < 0 && errno == ENOENT)
        return std::nullopt;
    if (fd < 0)
        throw IoError(describeSystemError("履歴ファイル " + fullPath(path).string() + " を開けません", errno));
    HistoryFile file(fd, fullPath(path));
    struct stat info { };
    if (::fstat(fd, &info) != 0)
        file.fail("の状態を読めません", errno);
    if (!S_ISREG(info.st_mode))
        throw IoError("履歴ファイル " + file.path().string() + " を開けません: 通常のファイルではありません");
    return file;
}

std::optional<HistoryFile> HistoryFile::createNew(const std::filesystem::path& path)
{
    // O_NOFOLLOW with O_EXCL: a link planted at the name is not followed, the creation fails.
    // 0666 as any new file: the user's umask decides who else may read and write it.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST)
        return std::nullopt;
    if (fd < 0)
        throw IoError(describeSystemError("ファイル " + fullPath(path).string() + " を作成できません", errno));
    return HistoryFile(fd, fullPath(path));
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
    struct stat info { };
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
