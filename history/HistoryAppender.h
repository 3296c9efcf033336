#pragma once
// Appending one draw record to the history file.
//
// Both editions append to the same Numbers.dat, so the read of the last record and the write of
// the new one happen under an exclusive advisory lock (flock) on the file; readers take no lock
// and are never held up. The append refuses to write into a file whose length does not match the
// record layout (the new record would land after stray bytes and shift every later record), and
// a write that fails part-way is undone, so the file is either extended by one whole record or
// left exactly as it was. An import appends many records in one such step, all or none. Before
// every write the file as it was is kept in backups/ beside it (HistoryBackups).

#include "history/HistoryFile.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvi {

inline constexpr std::int32_t kLastDrawNumber = 9999;       // four digits in the record
inline constexpr std::int32_t kLargestPrize = 9'999'999;    // seven digits in the record
inline constexpr std::int32_t kNoNumbers3Result = -1;       // a draw without a Numbers3 result

class HistoryAppender {
public:
    // The values of one new record apart from its draw number, which the file decides.
    struct Draw {
        std::int32_t numbers3 = 0;                      // 0-999, or kNoNumbers3Result
        std::array<std::int32_t, 5> numbers3Prizes {};  // straight, box, set-straight, set-box, mini
        std::int32_t numbers4 = 0;                      // 0-9999
        std::array<std::int32_t, 4> numbers4Prizes {};  // straight, box, set-straight, set-box
    };

    // Puts the record's bytes into the file. Replaceable so that tests can make it fail after
    // any number of bytes; the default is HistoryFile::writeAt.
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

    // Appends what `plan` decides, as one write followed by the single 0x1A byte, with the same
    // lock, checks of the file's shape and undo as append(). When `createIfMissing` is set and
    // the file does not exist, the new file is written whole under a temporary name and then
    // linked into place, so no one ever sees it half written and an existing file is never
    // replaced. Returns the number of records written. Errors as append(); a failing `plan`
    // leaves the file untouched.
    std::size_t appendPlanned(const Planner& plan, bool createIfMissing) const;

    // The 85-byte record text for `drawNumber` and `draw`; RefusedError when a value does not
    // fit its field. A Numbers3 number of kNoNumbers3Result is written "---".
    static std::string formatRecord(std::int32_t drawNumber, const Draw& draw);

private:
    std::filesystem::path path_;
    Writer writer_;
};

}  // namespace tolvi
