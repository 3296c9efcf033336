#include "history/HistoryBackups.h"

#include "history/HistoryAppender.h"

#include "base/Errors.h"
#include "base/NumberFormat.h"
#include "history/HistoryReader.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <optional>
#include <regex>
#include <sys/file.h>
#include <tuple>
#include <unistd.h>

namespace tolvi {

namespace {

// "Numbers-<date>-<time>[-draw<last draw>][-<n>].dat": n tells apart copies taken in one second.
const std::regex& backupName()
{
    static const std::regex name(R"(Numbers-(\d{8})-(\d{6})(?:-draw(\d{1,4}))?(?:-(\d{1,3}))?\.dat)");
    return name;
}

// The draw number of the last draw record, skipping comments; -1 when there is none to read.
std::int32_t lastDrawOf(std::string_view content)
{
    for (std::size_t i = HistoryReader::recordCount(content); i-- > 0;) {
        const DrawRecord record = HistoryReader::recordAt(content, i);
        if (record.isComment())
            continue;
        try {
            return record.drawNumber();
        } catch (const std::exception&) {
            return -1;
        }
    }
    return -1;
}

std::string timeStamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    ::localtime_r(&now, &local);
    char text[32] {};
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

// Brings `bytes` into being as a file of the first free name that `nameFor(attempt)` gives in
// `folder`: written and synced under a temporary name first, then linked, so that no one sees the
// file half written and no existing file is replaced. Returns the name used.
template <class NameFor>
std::filesystem::path writeNewFile(const std::filesystem::path& folder, const NameFor& nameFor, std::string_view bytes)
{
    // Failures name the folder: the temporary name would mean nothing to the user.
    const auto cannotWrite = [&folder](int error) {
        return IoError(describeSystemError(folder.string() + " に書き込めません", error));
    };
    std::filesystem::path temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        temporary = folder / (".Numbers.tmp-" + std::to_string(::getpid()) + "-" + std::to_string(attempt));
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt >= 100))
            throw cannotWrite(errno);
    }
    struct RemoveTemporary {
        int fd;
        const std::filesystem::path& path;
        ~RemoveTemporary()
        {
            ::close(fd);
            ::unlink(path.c_str());
        }
    } removeTemporary {fd, temporary};
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw cannotWrite(n < 0 ? errno : EIO);
        done += std::size_t(n);
    }
    if (::fsync(fd) != 0)
        throw cannotWrite(errno);
    for (int attempt = 0;; ++attempt) {
        const std::filesystem::path name = folder / nameFor(attempt);
        if (::link(temporary.c_str(), name.c_str()) == 0)
            return name;
        if (errno != EEXIST || attempt >= 100)
            throw IoError(describeSystemError(name.string() + " を作成できません", errno));
    }
}

}  // namespace

HistoryBackups::HistoryBackups(const std::filesystem::path& historyPath)
    : history_(HistoryFile::fullPath(historyPath)), folder_(history_.parent_path() / kBackupFolderName)
{ }

void HistoryBackups::keep(std::string_view content) const
{
    if (content.empty())
        return;
    try {
        std::filesystem::create_directories(folder_);
        const std::int32_t lastDraw = lastDrawOf(content);
        const std::string stem =
            "Numbers-" + timeStamp() + (lastDraw >= 0 ? "-draw" + formatInt(lastDraw, 0, 4) : std::string());
        writeNewFile(
            folder_,
            [&stem](int attempt) { return stem + (attempt > 0 ? "-" + std::to_string(attempt + 1) : "") + ".dat"; },
            content);
    } catch (const std::exception& e) {
        throw IoError("履歴ファイルのバックアップを " + folder_.string() +
                      " に作れないため、履歴ファイルには書き込みませんでした: " + e.what());
    }
    const std::vector<HistoryBackup> backups = list();
    for (std::size_t i = kKeptBackups; i < backups.size(); ++i) {
        std::error_code ignored;  // an old copy that stays does no harm
        std::filesystem::remove(backups[i].path, ignored);
    }
}

std::vector<HistoryBackup> HistoryBackups::list() const
{
    struct Found {
        std::string order;                        // date, time and the copy's number in one sortable text
        std::filesystem::file_time_type written;  // tells apart the copies of one second
        HistoryBackup backup;
    };
    std::vector<Found> found;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder_, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::smatch match;
        if (!std::regex_match(name, match, backupName()) || !it->is_regular_file(error))
            continue;
        const std::string date = match[1], time = match[2];
        Found entry;
        entry.order = date + time + formatInt(match[4].matched ? std::stoi(match[4]) : 1, 0, 3);
        entry.backup.path = it->path();
        entry.backup.takenAt = date.substr(0, 4) + "-" + date.substr(4, 2) + "-" + date.substr(6, 2) + " " +
                               time.substr(0, 2) + ":" + time.substr(2, 2) + ":" + time.substr(4, 2);
        entry.backup.lastDraw = match[3].matched ? std::stoi(match[3]) : -1;
        entry.backup.size = it->file_size(error);
        entry.written = it->last_write_time(error);
        found.push_back(std::move(entry));
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return std::tie(a.order, a.written) > std::tie(b.order, b.written);
    });
    std::vector<HistoryBackup> backups;
    for (Found& entry : found)
        backups.push_back(std::move(entry.backup));
    return backups;
}

HistoryBackup HistoryBackups::restore(std::size_t number) const
{
    const std::vector<HistoryBackup> backups = list();
    if (number < 1 || number > backups.size())
        throw RefusedError("バックアップ " + formatInt(std::int64_t(number), 0) + " はありません (" +
                           (backups.empty() ? folder_.string() + " にバックアップはまだありません"
                                            : "1～" + formatInt(std::int64_t(backups.size()), 0) + " から選べます") +
                           ")。");
    const HistoryBackup chosen = backups[number - 1];
    // Read before the current history is kept: keeping it may remove the oldest copy.
    const std::string bytes = HistoryFile::openForReading(chosen.path).readAll();

    // The writer keeps the history as it is as the newest copy before replacing it.
    HistoryAppender(history_).rewritePlanned([&bytes](std::string_view) { return bytes; }, false);
    return chosen;
}

std::string describeBackup(const HistoryBackup& backup)
{
    return (backup.lastDraw >= 0 ? "第" + formatInt(backup.lastDraw, 0) + "回まで、" : std::string()) + backup.takenAt +
           " のバックアップ";
}

std::string describeBackups(const std::vector<HistoryBackup>& backups)
{
    std::string text;
    for (std::size_t i = 0; i < backups.size(); ++i) {
        const HistoryBackup& backup = backups[i];
        const std::string draw = backup.lastDraw >= 0 ? formatInt(backup.lastDraw, 0) : std::string();
        text +=
            formatInt(std::int64_t(i + 1), 2) + "  " + backup.takenAt + "  " +
            (draw.empty() ? std::string("回号不明    ") : "第" + draw + "回まで" + std::string(4 - draw.size(), ' ')) +
            formatGrouped(std::int64_t(backup.size), 9, ",") + " バイト\n";
    }
    return text;
}

}  // namespace tolvi
