#include "history/AtomicFile.h"

#include "base/Errors.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvi {

namespace {

struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

}  // namespace

void writeFileAtomically(const std::filesystem::path& path, std::string_view bytes)
{
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    std::string temporary = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    const std::string failed = path.string() + " に書き込めません";
    Descriptor file {::mkstemp(temporary.data())};  // created exclusively: no link planted there is followed
    if (file.fd < 0)
        throw IoError(describeSystemError(failed, errno));
    const auto fail = [&](int error) {
        ::unlink(temporary.c_str());
        throw IoError(describeSystemError(failed, error));
    };
    ::fchmod(file.fd, 0644);
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(file.fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno != EINTR)
            fail(errno);
        done += n > 0 ? std::size_t(n) : 0;
    }
    if (::fsync(file.fd) != 0)
        fail(errno);
    if (::rename(temporary.c_str(), path.c_str()) != 0)
        fail(errno);
    if (Descriptor dir {::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)}; dir.fd >= 0)
        ::fsync(dir.fd);
}

}  // namespace tolvi
