#pragma once
// The history file read front to back in full 87-byte blocks through one small buffer, for a
// pass that looks at each record once: the file is never held in memory whole.

#include "history/HistoryFile.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tolvi {

class HistoryStream {
public:
    // Opens the file for reading (IoError as HistoryFile::open).
    explicit HistoryStream(const std::filesystem::path& path);

    // The next full block, valid until the next call. False at the end of the file; a shorter
    // block there (the 0x1A byte, a cut-off record) is ignored. A failing read raises IoError.
    bool next(std::string_view& block);

private:
    HistoryFile file_;
    std::string buffer_;
    std::size_t begin_ = 0, end_ = 0;  // unread bytes in buffer_
    std::int64_t offset_ = 0;          // file offset of buffer_[end_]
    bool atEnd_ = false;
};

}  // namespace tolvi
