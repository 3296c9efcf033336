#pragma once
// The two ways of reading the history file: the whole file to be cut into records, and the last
// record alone.

#include "history/DrawRecord.h"
#include "history/HistoryFile.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tolvi {

class HistoryReader {
public:
    // The whole file as bytes, opened for reading, read and closed here. recordCount() and
    // recordAt() cut it into every full 87-byte block from offset 0, comment records included, in
    // file order; a shorter block at the end (the 0x1A byte, a cut-off record) is not a record.
    static std::string readContent(const std::filesystem::path& path);
    static std::size_t recordCount(std::string_view content) { return content.size() / kRecordSize; }
    static DrawRecord recordAt(std::string_view content, std::size_t index)
    {
        return DrawRecord(content.substr(index * kRecordSize, kRecordSize));
    }

    // The draw number of the record at ((size div 87) - 1) x 87, found with one seek. The file is
    // opened for writing too, as the append that follows will: a read-only history is refused
    // here, before anything is typed. An empty file raises IoError; a comment record or a
    // non-numeric draw number raises ConversionError.
    static std::int32_t lastDrawNumber(const std::filesystem::path& path);

    // The draw number of the last record of `content` that is not a comment; nothing when there
    // is none. ConversionError when its draw number is not a number.
    static std::optional<std::int32_t> lastDrawIn(std::string_view content);

    // What the user is told when a history holds no draw record to continue from.
    static std::string noDrawMessage(const std::filesystem::path& fullPath);
};

}  // namespace tolvi
