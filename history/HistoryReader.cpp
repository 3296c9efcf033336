#include "history/HistoryReader.h"

#include "base/Errors.h"
#include "history/HistoryFile.h"

#include <cerrno>

namespace tolvi {

std::vector<DrawRecord> HistoryReader::splitRecords(std::string_view content)
{
    std::vector<DrawRecord> records;
    records.reserve(content.size() / kRecordSize);
    for (std::size_t offset = 0; offset + kRecordSize <= content.size(); offset += kRecordSize)
        records.emplace_back(content.substr(offset, kRecordSize));
    return records;
}

std::string HistoryReader::readContent(const std::filesystem::path& path)
{
    const HistoryFile file = HistoryFile::openForReading(path);
    return file.readAll();
}

std::vector<DrawRecord> HistoryReader::readRecords(const std::filesystem::path& path)
{
    return splitRecords(readContent(path));
}

std::int32_t HistoryReader::lastDrawNumber(const std::filesystem::path& path)
{
    const HistoryFile file = HistoryFile::openExisting(path);
    const std::int64_t records = file.size() / std::int64_t(kRecordSize);
    if (records == 0)
        throw IoError(describeSystemError("履歴ファイル " + file.path().string() + " に結果データがありません", EINVAL));
    const std::string block = file.readAt((records - 1) * std::int64_t(kRecordSize), kRecordSize);
    if (block.size() < kRecordSize)
        throw IoError("履歴ファイル " + file.path().string() + " を読めません: 最後の結果データが途中で切れています");
    return DrawRecord(block).drawNumber();
}

}  // namespace tolvi
