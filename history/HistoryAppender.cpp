#include "history/HistoryAppender.h"

#include "engine/NumberFormat.h"
#include "history/DrawRecord.h"
#include "history/Errors.h"

#include <cerrno>
#include <sys/file.h>

namespace tolvi {

namespace {

constexpr std::int64_t kRecord = std::int64_t(kRecordSize);

std::string describe(std::int64_t value)
{
    return formatInt(value, 0);
}

void requireFits(std::int64_t value, std::int64_t largest, const std::string& refusal)
{
    if (value < 0 || value > largest)
        throw RefusedError(refusal);
}

void requireValuesFit(const HistoryAppender::Draw& draw)
{
    requireFits(draw.numbers3, 999,
                "Numbers3 の当選番号 " + describe(draw.numbers3) + " は 3 桁の欄に収まりません。");
    requireFits(draw.numbers4, 9999,
                "Numbers4 の当選番号 " + describe(draw.numbers4) + " は 4 桁の欄に収まりません。");
    auto prizeFits = [](std::int32_t prize) {
        requireFits(prize, kLargestPrize, "当選金額 " + describe(prize) + " は 7 桁の欄に収まりません。");
    };
    for (const std::int32_t prize : draw.numbers3Prizes)
        prizeFits(prize);
    for (const std::int32_t prize : draw.numbers4Prizes)
        prizeFits(prize);
}

// Held for the read of the last record and the write of the new one. Only writers take it, so
// a program that merely reads the file is never held up; the lock ends with the file's closing.
void lockForAppend(const HistoryFile& file)
{
    while (::flock(file.descriptor(), LOCK_EX) != 0) {
        if (errno != EINTR)
            throw IoError(describeSystemError("履歴ファイル " + file.path().string() + " をロックできません", errno));
    }
}

[[noreturn]] void refuseDamaged(const HistoryFile& file, const std::string& reason)
{
    throw RefusedError("履歴ファイル " + file.path().string() + " が壊れています: " + reason +
                       "このまま追記すると結果データの位置がずれるため、書き込みませんでした。");
}

// Puts the bytes from `writePosition` to the old end back and cuts the file to its old length.
// Returns an empty text on success, otherwise what went wrong.
std::string restore(HistoryFile& file, std::int64_t oldSize, std::int64_t writePosition, const std::string& oldTail)
{
    try {
        file.truncate(oldSize);
        if (!oldTail.empty())
            file.writeAt(writePosition, oldTail);
        file.sync();
        return {};
    } catch (const std::exception& e) {
        return e.what();
    }
}

}  // namespace

HistoryAppender::HistoryAppender(std::filesystem::path historyPath, Writer writer)
    : path_(std::move(historyPath)), writer_(std::move(writer))
{
    if (!writer_)
        writer_ = [](HistoryFile& file, std::int64_t offset, std::string_view bytes) { file.writeAt(offset, bytes); };
}

std::string HistoryAppender::formatRecord(std::int32_t drawNumber, const Draw& draw)
{
    requireFits(drawNumber, kLastDrawNumber, "回号 " + describe(drawNumber) + " は 4 桁の欄に収まりません。");
    requireValuesFit(draw);
    std::string text = formatInt(drawNumber, 0, 4) + "," + formatInt(draw.numbers3, 0, 3);
    for (const std::int32_t prize : draw.numbers3Prizes)
        text += "," + formatInt(prize, 0, 7);
    text += "," + formatInt(draw.numbers4, 0, 4);
    for (const std::int32_t prize : draw.numbers4Prizes)
        text += "," + formatInt(prize, 0, 7);
    return text;
}

std::string HistoryAppender::append(const Draw& draw) const
{
    requireValuesFit(draw);

    HistoryFile file = HistoryFile::openExisting(path_);
    lockForAppend(file);

    const std::int64_t size = file.size();
    const std::int64_t records = size / kRecord;
    if (records == 0)
        throw IoError("履歴ファイル " + path_.string() + " に結果データがありません: 長さ " + describe(size) +
                      " バイトは 1 件分 (87 バイト) に足りません");

    const std::int64_t lastOffset = (records - 1) * kRecord;
    const std::string last = file.readAt(lastOffset, kRecordSize);
    if (last.size() < kRecordSize)
        throw IoError("履歴ファイル " + path_.string() + " を読めません: 最後の結果データが途中で切れています");

    // Where the new record goes: over the 0x1A byte when the file ends with one, else the end.
    const std::string finalByte = file.readAt(size - 1, 1);
    const bool endsWithMarker = finalByte.size() == 1 && finalByte[0] == kEndOfFileByte;
    const std::int64_t writePosition = endsWithMarker ? size - 1 : size;

    const std::int64_t stray = size % kRecord;
    if (!(stray == 0 || (stray == 1 && endsWithMarker)))
        refuseDamaged(file, "長さ " + describe(size) + " バイトが 87 バイトの結果データの整数倍 (末尾に 0x1A が付く場合は"
                            "それより 1 バイト多い長さ) ではありません。");

    const std::int32_t lastDraw = DrawRecord(last).drawNumber();
    // A last record that ends in 0x1A instead of LF was cut off; writing over that byte would
    // shift the new record by one.
    if (last[kRecordSize - 2] != '\r' || last[kRecordSize - 1] != '\n')
        refuseDamaged(file, "最後の結果データ (オフセット " + describe(lastOffset) + ") が CR LF で終わっていません。");
    if (lastDraw < 0)
        refuseDamaged(file, "最後の結果データ (オフセット " + describe(lastOffset) + ") の回号 " + describe(lastDraw) +
                                " が正しくありません。");
    if (lastDraw >= kLastDrawNumber)
        throw RefusedError("次の回号 " + describe(std::int64_t(lastDraw) + 1) + " は 4 桁の回号欄に収まりません (" +
                           describe(kLastDrawNumber) + " 回まで)。履歴ファイルには書き込みませんでした。");

    const std::string text = formatRecord(lastDraw + 1, draw);
    std::string bytes = text;
    bytes += "\r\n";
    bytes += kEndOfFileByte;

    const std::string oldTail = file.readAt(writePosition, std::size_t(size - writePosition));
    try {
        writer_(file, writePosition, bytes);
        file.sync();
    } catch (const std::exception& e) {
        const std::string failure = restore(file, size, writePosition, oldTail);
        if (!failure.empty())
            throw IoError(std::string(e.what()) + "。元の内容にも戻せませんでした: " + failure);
        throw;
    } catch (...) {
        restore(file, size, writePosition, oldTail);
        throw;
    }
    return text;
}

}  // namespace tolvi
