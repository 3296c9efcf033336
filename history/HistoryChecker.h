#pragma once
// Finds everything in a history file that would make a reader fail or read wrong fields, or
// would make an append fail or write a record out of place.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tolvi {

class HistoryChecker {
public:
    enum class Kind {
        CannotOpen,          // the file cannot be opened for writing (it may still be read)
        NoRecords,           // shorter than one record: nothing to read, nothing to append to
        StrayBytes,          // one byte after the last record that is not 0x1A
        CutOffTail,          // two or more bytes after the last full record
        MisplacedEndMarker,  // a 0x1A that is not the file's very last byte
        BadDrawNumber,       // columns 1-4 not four digits
        BadWinningNumber,    // columns 6-8 neither three digits nor "---"
        BadNumbers4Number,   // columns 50-53 not four digits
        BadPrize,            // a seven-byte prize field not all digits
        BadSeparator,        // a "," missing at its column
        BadLineEnd,          // columns 86-87 not CR LF
        DrawNotRising,       // a draw number that is not the previous draw's number plus 1
        LastIsComment,       // the last record is a comment: no next draw number
        NoNextDrawNumber,    // the last draw is 9999: the next does not fit four digits
    };

    struct Problem {
        Kind kind;
        std::int64_t record;  // 1 for the first record; 0 when no single record is meant
        std::int64_t offset;  // byte offset in the file where the problem starts
        std::string message;  // one line for the user
    };

    struct Report {
        // What lies behind many problems at once (a file that is not in the record format at all,
        // line ends without CR, a file cut in the middle of a record), each with how to mend it;
        // listed before the problems, which it explains.
        std::vector<std::string> causes;
        std::vector<Problem> problems;  // the first ones in file order, as many as asked for
        std::int64_t problemCount = 0;  // all that were found
        std::int64_t records = 0;       // full 87-byte records
        std::int64_t comments = 0;      // of which comment records
        std::int64_t lastDraw = -1;     // draw number of the last record, -1 when there is none
    };

    // Checks the bytes of a history file; the report lists the first `keptProblems` problems in
    // file order and counts all of them.
    static Report check(std::string_view content, std::size_t keptProblems = SIZE_MAX);

    // Reads and checks the file at `path`. IoError when it cannot be read at all; a file that
    // can be read but not opened for writing gives a CannotOpen problem.
    static Report checkFile(const std::filesystem::path& path, std::size_t keptProblems = SIZE_MAX);
};

}  // namespace tolvi
