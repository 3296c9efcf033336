#include "history/HistoryReader.h"

#include "base/Errors.h"
#include "history/HistoryFile.h"

#include <cerrno>

namespace tolvi {

std::string HistoryReader::readContent(const std::filesystem::path& path)
{
    const HistoryFile file = HistoryFile::openForReading(path);
    return file.readAll();
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
