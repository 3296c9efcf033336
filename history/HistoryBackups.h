#pragma once
// Copies of the history kept beside it, in backups/, so that a wrong import or entry can be
// taken back. The writer (HistoryAppender) keeps one before every write that adds or fills draws,
// under its lock, and a write whose copy cannot be made does not happen. The newest
// kKeptBackups copies are kept; each is named by when it was taken and the last draw it holds
// ("Numbers-20261209-112553-draw7054.dat") and is written under a temporary name first, so a
// copy cut short by a crash never counts as one.

#include "history/HistoryFile.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tolvi {

inline constexpr std::size_t kKeptBackups = 10;
inline constexpr const char* kBackupFolderName = "backups";

struct HistoryBackup {
    std::filesystem::path path;
    std::string takenAt;         // "2026-12-09 11:25:53", local time
    std::int32_t lastDraw = -1;  // the last draw it holds; -1 when it held none that could be read
    std::uintmax_t size = 0;     // bytes
};

class HistoryBackups {
public:
    explicit HistoryBackups(const std::filesystem::path& historyPath);

    const std::filesystem::path& folder() const { return folder_; }

    // Keeps `content`, the history as it is now, as the newest copy and removes the copies beyond
    // the newest kKeptBackups. An empty history has nothing worth keeping. IoError when the copy
    // cannot be written (nothing of it is left behind then).
    void keep(std::string_view content) const;
    // The same for the open history file, read whole (by the writer, which holds its lock).
    void keep(const HistoryFile& file) const { keep(file.readAll()); }

    // The copies, newest first; the commands number them from 1 in this order.
    std::vector<HistoryBackup> list() const;

    // Puts copy `number` (1 = newest) back as the history, byte for byte, under the writers'
    // lock, after keeping the history as it is as the newest copy. A missing history is created.
    // Returns the copy put back. RefusedError: no copy of that number. IoError: a file could not
    // be read or written (the history is then as it was).
    HistoryBackup restore(std::size_t number) const;

private:
    std::filesystem::path history_;
    std::filesystem::path folder_;
};

// The copies as the tool and the window list them: one line each, numbered from 1.
std::string describeBackups(const std::vector<HistoryBackup>& backups);
// "第7054回まで、2026-12-09 11:25:53 のバックアップ" for messages.
std::string describeBackup(const HistoryBackup& backup);

}  // namespace tolvi
