#include "results/HistoryExport.h"

#include "base/NumberFormat.h"
#include "history/DrawRecord.h"
#include "history/HistoryReader.h"
#include "base/StrToInt.h"
#include "base/Errors.h"
#include "history/HistoryFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvi {

std::string exportHistoryCsv(std::string_view content)
{
    std::string csv(kExportHeader);
    csv += '\n';
    for (std::size_t i = 0; i < HistoryReader::recordCount(content); ++i) {
        const DrawRecord record = HistoryReader::recordAt(content, i);
        if (record.isComment())
            continue;
        csv += formatInt(record.drawNumber(), 0) + ",";
        if (record.hasResult())
            csv += formatInt(strToInt(record.winningNumber()), 0, 3);
        for (const int column : kNumbers3PrizeColumns)
            csv += "," + formatInt(record.prize(column), 0);
        csv += "," + formatInt(strToInt(record.column(kNumbers4Column, 4)), 0, 4);
        for (const int column : kNumbers4PrizeColumns)
            csv += "," + formatInt(record.prize(column), 0);
        csv += '\n';
    }
    return csv;
}

namespace {

[[noreturn]] void refuseOutput(const std::filesystem::path& output, const std::string& reason)
{
    throw RefusedError("書き出し先 " + output.string() + " には書き出しません: " + reason);
}

// Removes the temporary file unless it took the output's name.
struct TemporaryOutput {
    std::filesystem::path path;
    int fd = -1;
    bool kept = false;
    ~TemporaryOutput()
    {
        if (fd >= 0)
            ::close(fd);
        if (!kept && !path.empty())
            ::unlink(path.c_str());
    }
};

}  // namespace

std::string writeExportFile(const std::filesystem::path& output, std::string_view csv,
                            const std::filesystem::path& historyPath)
{
    const std::filesystem::path full = HistoryFile::fullPath(output);
    std::filesystem::path target = full;
    std::string note;
    struct stat info {};
    bool exists = ::lstat(full.c_str(), &info) == 0;
    if (exists && S_ISLNK(info.st_mode)) {
        std::error_code error;
        const std::filesystem::path pointed = std::filesystem::canonical(full, error);
        if (error || ::stat(pointed.c_str(), &info) != 0)
            refuseOutput(full, "シンボリックリンクの指す先がありません。");
        target = pointed;
        note = "書き出し先 " + full.string() + " はシンボリックリンクのため、その指す先 " + target.string() +
               " に書き出しました。";
    }
    if (exists && !S_ISREG(info.st_mode))
        refuseOutput(full, S_ISDIR(info.st_mode) ? "フォルダーです。" : "通常のファイルではありません (デバイスや FIFO など)。");
    struct stat history {};
    if (exists && ::stat(historyPath.c_str(), &history) == 0 && history.st_dev == info.st_dev &&
        history.st_ino == info.st_ino)
        refuseOutput(full, "読み込んでいる履歴ファイルそのものです。");
    const auto cannotWrite = [&target](int errorNumber) {
        return IoError(describeSystemError(target.string() + " に書き出せません", errorNumber));
    };

    // Written whole under a new name beside the output, then renamed over it: a failed export
    // never leaves a half-written file in place of an older good one.
    TemporaryOutput temporary;
    for (int attempt = 0; temporary.fd < 0; ++attempt) {
        temporary.path = target;
        temporary.path += ".new-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        temporary.fd = ::open(temporary.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (temporary.fd < 0 && (errno != EEXIST || attempt >= 100)) {
            const int error = errno;
            temporary.path.clear();
            throw cannotWrite(error);
        }
    }
    for (std::size_t done = 0; done < csv.size();) {
        const ssize_t n = ::write(temporary.fd, csv.data() + done, csv.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw cannotWrite(n < 0 ? errno : EIO);
        done += std::size_t(n);
    }
    if (exists)
        ::fchmod(temporary.fd, info.st_mode & 07777);
    if (::fsync(temporary.fd) != 0)
        throw cannotWrite(errno);
    if (::rename(temporary.path.c_str(), target.c_str()) != 0)
        throw cannotWrite(errno);
    temporary.kept = true;
    return note;
}

}  // namespace tolvi
