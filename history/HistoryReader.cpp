#include "history/HistoryReader.h"

#include "base/Errors.h"
#include "history/HistoryFile.h"

#include <cerrno>

namespace tolvi {

std::string HistoryReader::noDrawMessage(const std::filesystem::path& fullPath)
{
    return "履歴ファイル " + fullPath.string() +
           " には回の結果が 1 件もないため、次の回がわかりません。最初の結果は「メイン」の「結果の取り込み…」"
           "(または tolvi import) で CSV ファイルから取り込んでください。";
}

std::string HistoryReader::readContent(const std::filesystem::path& path)
{
    const HistoryFile file = HistoryFile::openForReading(path);
    return file.readAll();
}

std::optional<std::int32_t> HistoryReader::lastDrawIn(std::string_view content)
{
    for (std::size_t i = recordCount(content); i-- > 0;)
        if (const DrawRecord record = recordAt(content, i); !record.isComment())
            return record.drawNumber();
    return std::nullopt;
}

std::int32_t HistoryReader::lastDrawNumber(const std::filesystem::path& path)
{
    const HistoryFile file = HistoryFile::openExisting(path);
    const std::int64_t records = file.size() / std::int64_t(kRecordSize);
    if (records == 0)
        throw IoError(noDrawMessage(file.path()));
    const std::string block = file.readAt((records - 1) * std::int64_t(kRecordSize), kRecordSize);
    if (block.size() < kRecordSize)
        throw IoError("履歴ファイル " + file.path().string() + " を読めません: 最後の結果データが途中で切れています");
    return DrawRecord(block).drawNumber();
}

}  // namespace tolvi
