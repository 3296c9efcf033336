#pragma once
// The history file's records as a list, for tests: every full 87-byte block in file order, as
// HistoryReader::recordAt() cuts them.

#include "history/DrawRecord.h"
#include "history/HistoryReader.h"

#include <filesystem>
#include <string_view>
#include <vector>

namespace tolvi::test {

inline std::vector<DrawRecord> splitRecords(std::string_view content)
{
    std::vector<DrawRecord> records;
    for (std::size_t i = 0; i < HistoryReader::recordCount(content); ++i)
        records.push_back(HistoryReader::recordAt(content, i));
    return records;
}

inline std::vector<DrawRecord> readRecords(const std::filesystem::path& path)
{
    return splitRecords(HistoryReader::readContent(path));
}

}  // namespace tolvi::test
