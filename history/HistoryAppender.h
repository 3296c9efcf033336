#pragma once
// Appending one draw record to the history file.
//
// Both editions append to the same Numbers.dat, so the read of the file and the write of the new
// records happen under an exclusive advisory lock (flock) on the file; readers take no lock and
// are never held up. The append refuses to write into a file whose length does not match the
// record layout (the new record would land after stray bytes and shift every later record).
//
// The file is never changed in place. The new content (the old records, the new ones, the 0x1A
// byte) is written whole to a temporary file created exclusively beside it, synced, renamed over
// the old name and the folder synced: a reader, a failure, a kill or a power cut at any moment
// sees either the old bytes or the complete new ones, and an import is all or none. The bytes are
// the ones an append in place would give. A history reached through a symlink is replaced where
// the link points; the new file keeps the old one's permissions (a second hard link to the old
// file keeps the old content).
//
// Why no separate lock file: every version of the programs locks Numbers.dat itself, and a lock
// file would be one more thing in the user's folder to be left behind, copied or made read-only.
// Writers first take turns on an flock of the folder (its inode, unlike the file's, stays), then
// lock the file as ever. Since a rename leaves a writer that waited on the file holding the lock
// of a file that is no longer the history (a writer of an older version, or one whose folder
// could not be locked), a writer that gets the lock checks that its file is still the one at the
// name and otherwise opens the new one, a bounded number of times.
//
// A temporary file is locked by its writer for its whole life; one that can be locked was left
// by a killed program, and the next write removes it before writing its own.
//
// Before every write the file as it was is kept in backups/ beside it (HistoryBackups).

#include "history/HistoryFile.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>

namespace tolvi {

inline constexpr std::int32_t kLastDrawNumber = 9999;     // four digits in the record
inline constexpr std::int32_t kLargestPrize = 9'999'999;  // seven digits in the record
inline constexpr std::int32_t kNoNumbers3Result = -1;     // a draw without a Numbers3 result

class HistoryAppender {
public:
    // The values of one new record apart from its draw number, which the file decides.
    struct Draw {
        std::int32_t numbers3 = 0;                      // 0-999, or kNoNumbers3Result
        std::array<std::int32_t, 5> numbers3Prizes {};  // straight, box, set-straight, set-box, mini
        std::int32_t numbers4 = 0;                      // 0-9999
        std::array<std::int32_t, 4> numbers4Prizes {};  // straight, box, set-straight, set-box
    };

    // Puts the new records' bytes into the new file, after the old records copied there.
    // Replaceable so that tests can make it fail after any number of bytes; the default is
    // HistoryFile::writeAt.
    using Writer = std::function<void(HistoryFile& file, std::int64_t offset, std::string_view bytes)>;

    explicit HistoryAppender(std::filesystem::path historyPath, Writer writer = {});

    // Appends one record whose draw number is the file's last draw number plus 1, followed by
    // CR LF and the single 0x1A byte, and returns the record's 85-byte text.
    // IoError: the file is missing, read-only, holds no record, or cannot be locked, read or
    // written (after a failed write the file has been restored). ConversionError: the last
    // record is a comment or its draw number is not a number. RefusedError: the file is damaged
    // or a value does not fit its field. In every failing case the file is unchanged.
    std::string append(const Draw& draw) const;

    // Decides, from the file's whole content as it is once the lock is held (empty for a file
    // that does not exist yet), the 85-byte texts of the records to append, in order.
    using Planner = std::function<std::vector<std::string>(std::string_view content)>;

    // Appends what `plan` decides, followed by the single 0x1A byte, with the same lock, checks
    // of the file's shape and whole-file replacement as append(). When `createIfMissing` is set and
    // the file does not exist, the new file is written whole under a temporary name and then
    // linked into place, so no one ever sees it half written and an existing file is never
    // replaced. Returns the number of records written. Errors as append(); a failing `plan`
    // leaves the file untouched.
    std::size_t appendPlanned(const Planner& plan, bool createIfMissing) const;

    // Decides, from the file's whole content once the lock is held (empty for a file that does not
    // exist yet), its whole new content; nothing leaves the file as it is.
    using Rewriter = std::function<std::optional<std::string>(std::string_view content)>;

    // Replaces the history with what `rewrite` makes of it, with the same lock, backup and
    // whole-file replacement as append(); a missing file is created whole. With `checkShape`, a
    // file whose length or last line end does not match the record layout is refused first, as
    // append() refuses it (a restore must be able to replace a damaged file). True when written.
    bool rewritePlanned(const Rewriter& rewrite, bool checkShape) const;

    // The 85-byte record text for `drawNumber` and `draw`; RefusedError when a value does not
    // fit its field. A Numbers3 number of kNoNumbers3Result is written "---".
    static std::string formatRecord(std::int32_t drawNumber, const Draw& draw);

private:
    // The history as a writer holds it: open, locked and still the file at its name.
    struct Locked {
        HistoryFile file;
        std::filesystem::path target;  // the file itself, where a symlink to it leads
        struct stat info;              // of the locked file
    };
    static std::optional<Locked> openLocked(const std::filesystem::path& path);
    // Puts a new file holding `head` and then `bytes` in the place of the locked one.
    void replace(const Locked& locked, std::string_view head, const std::string& bytes) const;
    // The step before the history is replaced, with the lock held and the old file unchanged.
    void beforeReplacing(const Locked& locked) const;

    std::filesystem::path path_;
    Writer writer_;
};

}  // namespace tolvi
