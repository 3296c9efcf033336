#include "history/HistoryAppender.h"

#include "base/NumberFormat.h"
#include "history/DrawRecord.h"
#include "history/HistoryBackups.h"
#include "history/HistoryReader.h"
#include "base/Errors.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <unistd.h>

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
    if (draw.numbers3 != kNoNumbers3Result)
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

// Writes `bytes` at `writePosition` and syncs; on any failure puts the file back as it was
// (`size` bytes long) before the error leaves.
void writeOrRestore(HistoryFile& file, std::int64_t size, std::int64_t writePosition, const std::string& bytes,
                    const HistoryAppender::Writer& writer)
{
    HistoryBackups(file.path()).keep(file);  // a way back from every write that adds or fills draws
    const std::string oldTail = file.readAt(writePosition, std::size_t(size - writePosition));
    try {
        writer(file, writePosition, bytes);
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
}

// Where new records go in a file of `size` bytes: over the 0x1A byte when the file ends with
// one, else the end. Refuses a file whose length does not fit the record layout.
std::int64_t writePositionOf(const HistoryFile& file, std::int64_t size)
{
    const std::string finalByte = size > 0 ? file.readAt(size - 1, 1) : std::string();
    const bool endsWithMarker = finalByte.size() == 1 && finalByte[0] == kEndOfFileByte;
    const std::int64_t stray = size % kRecord;
    if (!(stray == 0 || (stray == 1 && endsWithMarker)))
        refuseDamaged(file, "長さ " + describe(size) + " バイトが 87 バイトの結果データの整数倍 (末尾に 0x1A が付く場合は"
                            "それより 1 バイト多い長さ) ではありません。");
    return endsWithMarker ? size - 1 : size;
}

// A last record that ends in 0x1A instead of LF was cut off; writing over that byte would
// shift the new record by one.
void requireLineEnd(const HistoryFile& file, std::int64_t lastOffset, std::string_view last)
{
    if (last[kRecordSize - 2] != '\r' || last[kRecordSize - 1] != '\n')
        refuseDamaged(file, "最後の結果データ (オフセット " + describe(lastOffset) + ") が CR LF で終わっていません。");
}

std::string recordsBytes(const std::vector<std::string>& texts)
{
    std::string bytes;
    bytes.reserve(texts.size() * kRecordSize + 1);
    for (const std::string& text : texts) {
        if (text.size() != kRecordSize - 2)
            throw RefusedError("結果データの長さが 85 バイトではありません: " + text);
        bytes += text;
        bytes += "\r\n";
    }
    bytes += kEndOfFileByte;
    return bytes;
}

// Brings a new history file into being with `bytes` as its whole content: written and synced
// under a temporary name in the same folder, then linked to `path`, so that no reader ever sees
// it half written. False when a file of that name appeared meanwhile (it is left alone).
bool createWhole(const std::filesystem::path& path, const std::string& bytes, const HistoryAppender::Writer& writer)
{
    const std::filesystem::path full = HistoryFile::fullPath(path);
    const auto cannotCreate = [&full](const std::string& reason) {
        return IoError("履歴ファイル " + full.string() + " を作成できません: " + reason);
    };
    std::filesystem::path temporary;
    for (int attempt = 0;; ++attempt) {
        temporary = full;
        temporary += ".new-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        // 0666 as any new file: the user's umask decides who else may read and write it.
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            break;
        }
        if (errno != EEXIST || attempt >= 100)
            throw IoError(describeSystemError("履歴ファイル " + full.string() + " を作成できません", errno));
    }
    struct RemoveTemporary {
        const std::filesystem::path& path;
        ~RemoveTemporary() { ::unlink(path.c_str()); }
    } removeTemporary {temporary};

    try {
        HistoryFile file = HistoryFile::openExisting(temporary);
        writer(file, 0, bytes);
        file.sync();
    } catch (const std::exception& e) {
        throw cannotCreate(e.what());
    }
    if (::link(temporary.c_str(), full.c_str()) != 0) {
        if (errno == EEXIST)
            return false;
        throw IoError(describeSystemError("履歴ファイル " + full.string() + " を作成できません", errno));
    }
    return true;
}

}  // namespace

HistoryAppender::HistoryAppender(std::filesystem::path historyPath, Writer writer)
    : path_(std::move(historyPath)), writer_(std::move(writer))
{
    if (!writer_)
        writer_ = [](HistoryFile& file, std::int64_t offset, std::string_view bytes) { file.writeAt(offset, bytes); };
}

std::string HistoryAppender::append(const Draw& draw) const
{
    requireValuesFit(draw);

    HistoryFile file = HistoryFile::openExisting(path_);
    lockForAppend(file);

    const std::int64_t size = file.size();
    const std::int64_t records = size / kRecord;
    if (records == 0)
        throw IoError(HistoryReader::noDrawMessage(file.path()));

    const std::int64_t lastOffset = (records - 1) * kRecord;
    const std::string last = file.readAt(lastOffset, kRecordSize);
    if (last.size() < kRecordSize)
        throw IoError("履歴ファイル " + file.path().string() + " を読めません: 最後の結果データが途中で切れています");
    const std::int64_t writePosition = writePositionOf(file, size);

    const std::int32_t lastDraw = DrawRecord(last).drawNumber();
    requireLineEnd(file, lastOffset, last);
    if (lastDraw < 0)
        refuseDamaged(file, "最後の結果データ (オフセット " + describe(lastOffset) + ") の回号 " + describe(lastDraw) +
                                " が正しくありません。");
    if (lastDraw >= kLastDrawNumber)
        throw RefusedError("次の回号 " + describe(std::int64_t(lastDraw) + 1) + " は 4 桁の回号欄に収まりません (" +
                           describe(kLastDrawNumber) + " 回まで)。履歴ファイルには書き込みませんでした。");

    const std::string text = formatRecord(lastDraw + 1, draw);
    writeOrRestore(file, size, writePosition, recordsBytes({text}), writer_);
    return text;
}

std::size_t HistoryAppender::appendPlanned(const Planner& plan, bool createIfMissing) const
{
    for (;;) {
        std::optional<HistoryFile> opened = HistoryFile::openIfExists(path_, HistoryFile::Access::ReadWrite);
        if (!opened && createIfMissing) {
            const std::vector<std::string> texts = plan({});
            if (texts.empty() || createWhole(path_, recordsBytes(texts), writer_))
                return texts.size();
            continue;  // another program created the file meanwhile: append to it instead
        }
        if (!opened)
            opened = HistoryFile::openExisting(path_);  // raises the error for the missing file
        HistoryFile& file = *opened;
        lockForAppend(file);

        const std::int64_t size = file.size();
        const std::int64_t writePosition = writePositionOf(file, size);
        if (const std::int64_t records = size / kRecord; records > 0) {
            const std::int64_t lastOffset = (records - 1) * kRecord;
            requireLineEnd(file, lastOffset, file.readAt(lastOffset, kRecordSize));
        }
        const std::vector<std::string> texts = plan(file.readAll());
        if (!texts.empty())
            writeOrRestore(file, size, writePosition, recordsBytes(texts), writer_);
        return texts.size();
    }
}

std::string HistoryAppender::formatRecord(std::int32_t drawNumber, const Draw& draw)
{
    requireFits(drawNumber, kLastDrawNumber, "回号 " + describe(drawNumber) + " は 4 桁の欄に収まりません。");
    requireValuesFit(draw);
    std::string text = formatInt(drawNumber, 0, 4) + ",";
    text += draw.numbers3 == kNoNumbers3Result ? std::string(kNoResult) : formatInt(draw.numbers3, 0, 3);
    for (const std::int32_t prize : draw.numbers3Prizes)
        text += "," + formatInt(prize, 0, 7);
    text += "," + formatInt(draw.numbers4, 0, 4);
    for (const std::int32_t prize : draw.numbers4Prizes)
        text += "," + formatInt(prize, 0, 7);
    return text;
}

}  // namespace tolvi
