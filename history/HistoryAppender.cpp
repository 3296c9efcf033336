#include "history/HistoryAppender.h"

#include "base/Errors.h"
#include "base/NumberFormat.h"
#include "history/DrawRecord.h"
#include "history/HistoryBackups.h"
#include "history/HistoryReader.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
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
    requireFits(draw.numbers4, 9999, "Numbers4 の当選番号 " + describe(draw.numbers4) + " は 4 桁の欄に収まりません。");
    auto prizeFits = [](std::int32_t prize) {
        requireFits(prize, kLargestPrize, "当選金額 " + describe(prize) + " は 7 桁の欄に収まりません。");
    };
    for (const std::int32_t prize : draw.numbers3Prizes)
        prizeFits(prize);
    for (const std::int32_t prize : draw.numbers4Prizes)
        prizeFits(prize);
}

// Held for the read of the file and the replacing of it. Only writers take it, so a program
// that merely reads the file is never held up; the lock ends with the file's closing.
void lockForAppend(const HistoryFile& file)
{
    while (::flock(file.descriptor(), LOCK_EX) != 0) {
        if (errno != EINTR)
            throw IoError(describeSystemError("履歴ファイル " + file.path().string() + " をロックできません", errno));
    }
}

// Writers take turns on the folder of the history's name before they open the file: its inode
// stays while the file's changes with every write, so a writer waiting here cannot be overtaken
// for ever by one that keeps writing. Where a folder cannot be locked (some network file
// systems) the lock on the file and its check below still keep writers apart.
class FolderLock {
public:
    explicit FolderLock(const std::filesystem::path& path)
        : fd_(::open(HistoryFile::fullPath(path).parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        while (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0 && errno == EINTR) { }
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }

private:
    int fd_;
};

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A writer replaces the file by renaming a new one over its name, so the lock taken on an open
// file may be the lock of a file that is no longer the history: the writer that held it before
// us put a new file in its place. The lock counts only while the locked file is still the one
// at the name; otherwise open the new one. Each retry means another writer finished, so a few
// dozen are plenty.
constexpr int kLockAttempts = 64;

[[noreturn]] void refuseDamaged(const HistoryFile& file, const std::string& reason)
{
    throw RefusedError("履歴ファイル " + file.path().string() + " が壊れています: " + reason +
                       "このまま追記すると結果データの位置がずれるため、書き込みませんでした。");
}

// Where new records go in a file of `size` bytes: over the 0x1A byte when the file ends with
// one, else the end. Refuses a file whose length does not fit the record layout.
std::int64_t writePositionOf(const HistoryFile& file, std::int64_t size)
{
    const std::string finalByte = size > 0 ? file.readAt(size - 1, 1) : std::string();
    const bool endsWithMarker = finalByte.size() == 1 && finalByte[0] == kEndOfFileByte;
    const std::int64_t stray = size % kRecord;
    if (!(stray == 0 || (stray == 1 && endsWithMarker)))
        refuseDamaged(file, "長さ " + describe(size) +
                                " バイトが 87 バイトの結果データの整数倍 (末尾に 0x1A が付く場合は"
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

// The prefix of the name of every temporary file beside the history `target`.
std::string temporaryPrefix(const std::filesystem::path& target)
{
    return target.filename().string() + ".new-";
}

// The temporary file a new history is written to before it takes the history's name. Its writer
// holds an flock on it for its whole life, which is how a later writer tells a file in use from
// one left behind by a killed program. Removed by the destructor unless it became the history.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::filesystem::path& target)
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::filesystem::path name = target;
            name += ".new-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
            std::optional<HistoryFile> created;
            try {
                created = HistoryFile::createNew(name);
            } catch (const IoError& e) {
                // The new file has to go beside the old one for the rename, so the folder must
                // take new files (the file itself being writable is not enough).
                throw IoError("履歴ファイル " + target.string() +
                              " を書き換えられません: 同じフォルダーに一時ファイルを"
                              "作成できません (" +
                              e.what() + ")");
            }
            if (!created)
                continue;
            // Between the creation and the lock, a writer clearing left-over files may have
            // taken this one for abandoned and removed it: then take another name.
            struct stat held { };
            struct stat atName { };
            if (::flock(created->descriptor(), LOCK_EX | LOCK_NB) == 0 && ::fstat(created->descriptor(), &held) == 0 &&
                ::lstat(name.c_str(), &atName) == 0 && sameFile(held, atName)) {
                file_ = std::move(created);
                path_ = std::move(name);
                return;
            }
        }
        throw IoError("履歴ファイル " + target.string() + " を書き換えられません: 一時ファイルを作成できません");
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        if (!kept_)
            ::unlink(path_.c_str());
    }

    HistoryFile& file() { return *file_; }
    const std::filesystem::path& path() const { return path_; }
    void keep() { kept_ = true; }

private:
    std::optional<HistoryFile> file_;
    std::filesystem::path path_;
    bool kept_ = false;
};

// Makes a rename or link in the folder of `target` survive a power cut. A failure is not
// reported: every program already sees the new file, and the write itself has been synced.
void syncFolder(const std::filesystem::path& target)
{
    const int fd = ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// Fills `temporary` with `head` and then `bytes` at `writePosition` through `writer`, and syncs
// it. An IoError names the history, not the temporary file, and says the history is unchanged.
void fillTemporary(TemporaryFile& temporary, const std::filesystem::path& target, std::string_view head,
                   std::int64_t writePosition, const std::string& bytes, const HistoryAppender::Writer& writer)
{
    try {
        temporary.file().writeAt(0, head);
        writer(temporary.file(), writePosition, bytes);
        temporary.file().sync();
    } catch (const IoError& e) {
        std::string reason = e.what();
        if (const std::size_t colon = reason.rfind(": "); colon != std::string::npos)
            reason = reason.substr(colon + 2);
        throw IoError("履歴ファイル " + target.string() + " に書き込めません: " + reason +
                      "。履歴ファイルは元のままです");
    }
}

// Brings a new history file into being with `bytes` as its whole content: written and synced
// under a temporary name in the same folder, then linked to `path`, so that no reader ever sees
// it half written. False when a file of that name appeared meanwhile (it is left alone).
bool createWhole(const std::filesystem::path& path, const std::string& bytes, const HistoryAppender::Writer& writer)
{
    const std::filesystem::path full = HistoryFile::fullPath(path);
    TemporaryFile temporary(full);
    fillTemporary(temporary, full, {}, 0, bytes, writer);
    if (::link(temporary.path().c_str(), full.c_str()) != 0) {
        if (errno == EEXIST)
            return false;
        throw IoError(describeSystemError("履歴ファイル " + full.string() + " を作成できません", errno));
    }
    syncFolder(full);
    return true;
}

}  // namespace

HistoryAppender::HistoryAppender(std::filesystem::path historyPath, Writer writer)
    : path_(std::move(historyPath)), writer_(std::move(writer))
{
    if (!writer_)
        writer_ = [](HistoryFile& file, std::int64_t offset, std::string_view bytes) { file.writeAt(offset, bytes); };
}

std::optional<HistoryAppender::Locked> HistoryAppender::openLocked(const std::filesystem::path& path)
{
    for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
        std::optional<HistoryFile> file = HistoryFile::openIfExists(path, HistoryFile::Access::ReadWrite);
        if (!file)
            return std::nullopt;
        lockForAppend(*file);
        struct stat held { };
        struct stat atName { };
        if (::fstat(file->descriptor(), &held) != 0)
            throw IoError(describeSystemError("履歴ファイル " + file->path().string() + " の状態を読めません", errno));
        if (::stat(path.c_str(), &atName) != 0 || !sameFile(held, atName))
            continue;
        // The file is replaced where it really is: a history reached through a symlink stays a
        // symlink to the new file.
        std::error_code error;
        std::filesystem::path target = std::filesystem::canonical(path, error);
        if (error)
            throw IoError(describeSystemError("履歴ファイル " + file->path().string() + " の場所を確かめられません",
                                              error.value()));
        return Locked {std::move(*file), std::move(target), held};
    }
    throw IoError("履歴ファイル " + HistoryFile::fullPath(path).string() +
                  " をロックできません: ほかのプログラムが書き換え続けています。しばらくしてからやり直してください");
}

std::string HistoryAppender::append(const Draw& draw) const
{
    requireValuesFit(draw);

    const FolderLock turn(path_);
    std::optional<Locked> locked = openLocked(path_);
    if (!locked)
        HistoryFile::openExisting(path_);  // raises the error for the missing file
    const HistoryFile& file = locked->file;

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
    replace(*locked, file.readAt(0, std::size_t(writePosition)), recordsBytes({text}));
    return text;
}

std::size_t HistoryAppender::appendPlanned(const Planner& plan, bool createIfMissing) const
{
    // A creation loses only to another program creating the file at the same moment; the next
    // round appends to that file. A name that keeps appearing and vanishing ends the rounds.
    const FolderLock turn(path_);
    for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
        std::optional<Locked> locked = openLocked(path_);
        if (!locked && createIfMissing) {
            const std::vector<std::string> texts = plan({});
            if (texts.empty() || createWhole(path_, recordsBytes(texts), writer_))
                return texts.size();
            continue;
        }
        if (!locked)
            HistoryFile::openExisting(path_);  // raises the error for the missing file
        const HistoryFile& file = locked->file;

        const std::int64_t size = file.size();
        const std::int64_t writePosition = writePositionOf(file, size);
        if (const std::int64_t records = size / kRecord; records > 0) {
            const std::int64_t lastOffset = (records - 1) * kRecord;
            requireLineEnd(file, lastOffset, file.readAt(lastOffset, kRecordSize));
        }
        const std::string content = file.readAll();
        const std::vector<std::string> texts = plan(content);
        if (!texts.empty())
            replace(*locked, std::string_view(content).substr(0, std::size_t(writePosition)), recordsBytes(texts));
        return texts.size();
    }
    throw IoError("履歴ファイル " + HistoryFile::fullPath(path_).string() +
                  " を作成できません: 同じ名前のファイルが作られては消えています");
}

bool HistoryAppender::rewritePlanned(const Rewriter& rewrite, bool checkShape) const
{
    const FolderLock turn(path_);
    std::optional<Locked> locked = openLocked(path_);
    if (!locked) {
        const std::optional<std::string> bytes = rewrite({});
        if (bytes && !createWhole(path_, *bytes, writer_))
            throw IoError("履歴ファイル " + HistoryFile::fullPath(path_).string() +
                          " を作成できません: 同じ名前のファイルがほかのプログラムによって作られました");
        return bytes.has_value();
    }
    const HistoryFile& file = locked->file;
    if (checkShape) {
        const std::int64_t size = file.size();
        writePositionOf(file, size);
        if (const std::int64_t records = size / kRecord; records > 0) {
            const std::int64_t lastOffset = (records - 1) * kRecord;
            requireLineEnd(file, lastOffset, file.readAt(lastOffset, kRecordSize));
        }
    }
    const std::string content = file.readAll();
    const std::optional<std::string> bytes = rewrite(content);
    if (!bytes)
        return false;
    // What stays as it was is copied; the writer gets the rest (for an append, the new records).
    const std::size_t same = std::size_t(
        std::mismatch(content.begin(), content.end(), bytes->begin(), bytes->end()).first - content.begin());
    replace(*locked, std::string_view(*bytes).substr(0, same), bytes->substr(same));
    return true;
}

void HistoryAppender::replace(const Locked& locked, std::string_view head, const std::string& bytes) const
{
    beforeReplacing(locked);

    TemporaryFile temporary(locked.target);
    fillTemporary(temporary, locked.target, head, std::int64_t(head.size()), bytes, writer_);
    // The new file keeps the old one's permissions (and, for root, its owner), so that replacing
    // it changes no one's access.
    ::fchmod(temporary.file().descriptor(), locked.info.st_mode & 07777);
    if (::geteuid() == 0)
        static_cast<void>(::fchown(temporary.file().descriptor(), locked.info.st_uid, locked.info.st_gid));
    if (::rename(temporary.path().c_str(), locked.target.c_str()) != 0)
        throw IoError(describeSystemError("履歴ファイル " + locked.target.string() + " を書き換えられません", errno) +
                      "。履歴ファイルは元のままです");
    temporary.keep();
    syncFolder(locked.target);
}

void HistoryAppender::beforeReplacing(const Locked& locked) const
{
    // A way back from every write that adds or fills draws; no copy, no write.
    HistoryBackups(path_).keep(locked.file);

    // Temporary files of writers killed before their rename. One in use is locked by its writer;
    // one that can be locked has been abandoned and is removed, if it is still the file at that
    // name. Errors here only leave an old file behind, which the next write tries again.
    const std::filesystem::path folder = locked.target.parent_path();
    const std::string prefix = temporaryPrefix(locked.target);
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::filesystem::path name = entry.path();
        if (name.filename().string().rfind(prefix, 0) != 0)
            continue;
        const int fd = ::open(name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat held { };
        struct stat atName { };
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) &&
            ::lstat(name.c_str(), &atName) == 0 && sameFile(held, atName))
            ::unlink(name.c_str());
        ::close(fd);
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
