#include "results/HistoryImport.h"

#include "transport/SourceDownload.h"
#include "base/NumberFormat.h"
#include "history/DrawRecord.h"
#include "base/Errors.h"
#include "history/HistoryFile.h"
#include "history/HistoryReader.h"
#include "base/StrToInt.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvi {

namespace {

constexpr std::size_t kDisagreeingNamed = 5;

std::string drawName(std::int32_t draw)
{
    return "第" + std::to_string(draw) + "回";
}

void mergeInto(std::map<std::int32_t, GameResult>& merged, const std::map<std::int32_t, GameResult>& source,
               std::map<std::int32_t, const std::string*>& origin, const std::string& name)
{
    for (const auto& [draw, result] : source) {
        const auto [place, added] = merged.emplace(draw, result);
        if (added)
            origin[draw] = &name;
        else if (place->second != result)
            throw RefusedError(*origin[draw] + " と " + name + " とで" + drawName(draw) +
                               "の結果が違います。どちらが正しいか確かめてから取り込んでください。");
    }
}

// A game's fields as the history record stores them; nothing when they are not all numbers.
std::optional<GameResult> storedNumbers3(const DrawRecord& record)
{
    try {
        GameResult game;
        game.number = record.hasResult() ? strToInt(record.winningNumber()) : kNoNumbers3Result;
        for (std::size_t i = 0; i < kNumbers3PrizeColumns.size(); ++i)
            game.prizes[i] = record.prize(kNumbers3PrizeColumns[i]);
        return game;
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

std::optional<GameResult> storedNumbers4(const DrawRecord& record)
{
    try {
        GameResult game;
        game.number = strToInt(record.column(kNumbers4Column, 4));
        for (std::size_t i = 0; i < kNumbers4PrizeColumns.size(); ++i)
            game.prizes[i] = record.prize(kNumbers4PrizeColumns[i]);
        return game;
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

// What the sources say about a draw the history holds, where it differs from the record.
// Numbers4 fields that were never given: an import of a Numbers3 file alone writes zeros there.
bool numbers4Empty(const std::optional<GameResult>& stored)
{
    return stored && *stored == GameResult {};
}

// What the sources say about a draw the history holds, where it differs from the record. Empty
// Numbers4 fields are to be filled, not a difference.
std::vector<std::string> differencesFromSources(const MergedResults& results, const DrawRecord& record)
{
    const std::int32_t draw = record.drawNumber();
    std::vector<std::string> differences;
    if (const auto found = results.numbers3.find(draw); found != results.numbers3.end())
        differences = describeDifferences(draw, false, storedNumbers3(record), found->second);
    const std::optional<GameResult> stored4 = storedNumbers4(record);
    if (const auto found = results.numbers4.find(draw); found != results.numbers4.end() && !numbers4Empty(stored4))
        for (std::string& line : describeDifferences(draw, true, stored4, found->second))
            differences.push_back(std::move(line));
    return differences;
}

// `record` (85 bytes) with the Numbers4 fields of `numbers4`.
std::string withNumbers4(std::string_view record, const GameResult& numbers4)
{
    // The record's columns are counted from 1.
    std::string text(record.substr(0, kRecordSize - 2));
    text.replace(std::size_t(kNumbers4Column - 1), 4, formatInt(numbers4.number, 4, 4));
    for (std::size_t i = 0; i < kNumbers4PrizeColumns.size(); ++i)
        text.replace(std::size_t(kNumbers4PrizeColumns[i] - 1), 7, formatInt(numbers4.prizes[i], 7, 7));
    return text;
}

std::string fieldText(std::int32_t value, std::size_t field, bool numbers4)
{
    if (field == 0 && !numbers4 && value == kNoNumbers3Result)
        return "---";
    return std::to_string(value);
}

}  // namespace

MergedResults mergeSources(const std::vector<ResultsSource>& sources)
{
    MergedResults merged;
    std::map<std::int32_t, const std::string*> origin3, origin4;
    for (const ResultsSource& source : sources) {
        mergeInto(merged.numbers3, source.numbers3, origin3, source.name);
        mergeInto(merged.numbers4, source.numbers4, origin4, source.name);
    }
    return merged;
}

std::vector<std::string> describeDifferences(std::int32_t draw, bool numbers4, const std::optional<GameResult>& stored,
                                             const GameResult& source, const std::string& storedName,
                                             const std::string& sourceName)
{
    static constexpr std::array<const char*, 6> kFields {"当せん番号", "ストレート", "ボックス",
                                                         "セット(ストレート)", "セット(ボックス)", "ミニ"};
    const std::size_t fields = numbers4 ? 5 : 6;
    const std::string where = drawName(draw) + (numbers4 ? " ナンバーズ4 " : " ナンバーズ3 ");
    std::vector<std::string> lines;
    for (std::size_t field = 0; field < fields; ++field) {
        const std::int32_t given = field == 0 ? source.number : source.prizes[field - 1];
        if (!stored) {
            lines.push_back(where + "の" + storedName + "の記録は数値として読めません (" + sourceName + "では " +
                            fieldText(given, field, numbers4) + ")");
            break;
        }
        const std::int32_t kept = field == 0 ? stored->number : stored->prizes[field - 1];
        if (kept != given)
            lines.push_back(where + kFields[field] + ": " + storedName + " " + fieldText(kept, field, numbers4) + "、" +
                            sourceName + " " + fieldText(given, field, numbers4));
    }
    return lines;
}

ImportPlan planImport(std::string_view content, const MergedResults& results, bool acceptDisagreement)
{
    ImportPlan plan;
    ImportSummary& summary = plan.summary;
    // The differences of the history's last few draws, newest last: they decide whether new
    // draws may be taken from these sources at all.
    std::vector<std::vector<std::string>> recent;
    for (std::size_t i = 0; i < HistoryReader::recordCount(content); ++i) {
        const DrawRecord record = HistoryReader::recordAt(content, i);
        if (record.isComment())
            continue;
        const std::int32_t draw = record.drawNumber();
        summary.lastBefore = draw;
        std::vector<std::string> differences = differencesFromSources(results, record);
        if (!differences.empty()) {
            if (summary.firstDisagreeing.size() < kDisagreeingNamed)
                summary.firstDisagreeing.push_back(draw);
            ++summary.disagreeing;
        }
        recent.push_back(std::move(differences));
        if (recent.size() > kCheckedRecentDraws)
            recent.erase(recent.begin());
        if (const auto numbers4 = results.numbers4.find(draw);
            numbers4 != results.numbers4.end() && numbers4Empty(storedNumbers4(record)) && numbers4->second != GameResult {})
            plan.filled.emplace_back(i, withNumbers4(record.text(), numbers4->second));
    }
    summary.filledNumbers4 = plan.filled.size();
    summary.onlyNumbers4 = results.numbers3.empty() && !results.numbers4.empty();

    const auto first = summary.lastBefore ? results.numbers3.upper_bound(*summary.lastBefore) : results.numbers3.begin();
    std::int32_t expected = summary.lastBefore ? *summary.lastBefore + 1 : 0;
    for (auto next = first; next != results.numbers3.end(); ++next) {
        const auto& [draw, numbers3] = *next;
        if (next == first && !summary.lastBefore)
            expected = draw;
        if (draw != expected) {
            const std::string where =
                next == first ? "履歴ファイルは" + drawName(expected - 1) + "までで、取り込み元のその次は" + drawName(draw) + "です"
                              : "取り込み元では" + drawName(expected - 1) + "の次が" + drawName(draw) + "です";
            throw RefusedError("取り込み元に" + drawName(expected) + "の結果がありません (" + where +
                               ")。結果は回の順に欠けなく追加するため、履歴ファイルには書き込みませんでした。");
        }
        HistoryAppender::Draw record;
        record.numbers3 = numbers3.number;
        record.numbers3Prizes = numbers3.prizes;
        if (const auto numbers4 = results.numbers4.find(draw); numbers4 != results.numbers4.end()) {
            record.numbers4 = numbers4->second.number;
            std::copy_n(numbers4->second.prizes.begin(), 4, record.numbers4Prizes.begin());
        } else {
            ++summary.withoutNumbers4;
        }
        plan.records.push_back(HistoryAppender::formatRecord(draw, record));
        if (plan.records.size() == 1)
            summary.firstAdded = draw;
        summary.lastAdded = draw;
        ++expected;
    }
    summary.added = plan.records.size();
    if (summary.added > 0 && !acceptDisagreement) {
        std::string lines;
        for (const std::vector<std::string>& differences : recent)
            for (const std::string& line : differences)
                lines += line + "\n";
        if (!lines.empty())
            throw RecentDisagreement("取り込み元は、履歴ファイルの最後の " + std::to_string(kCheckedRecentDraws) +
                                     " 回のうちで次の結果が違います:\n" + lines +
                                     "取り込み元が正しいか確かめてください。履歴ファイルには書き込みませんでした。");
    }
    return plan;
}

std::string ImportPlan::applyTo(std::string_view content) const
{
    // Without new records the end of the file stays as it is (with or without its 0x1A byte).
    std::string bytes(records.empty() ? content : content.substr(0, HistoryReader::recordCount(content) * kRecordSize));
    for (const auto& [index, text] : filled)
        bytes.replace(index * kRecordSize, text.size(), text);
    if (records.empty())
        return bytes;
    for (const std::string& record : records)
        bytes += record + "\r\n";
    return bytes + "\x1A";
}

ImportSummary importResults(const std::filesystem::path& historyPath, const std::vector<ResultsSource>& sources,
                            bool dryRun, const HistoryAppender::Writer& writer, bool acceptDisagreement)
{
    const MergedResults results = mergeSources(sources);
    if (dryRun) {
        std::string content;
        if (const std::optional<HistoryFile> file = HistoryFile::openIfExists(historyPath, HistoryFile::Access::Read))
            content = file->readAll();
        ImportPlan plan = planImport(content, results, acceptDisagreement);
        plan.summary.dryRun = true;
        return plan.summary;
    }
    return writeImport(historyPath, [&](std::string_view content) { return planImport(content, results, acceptDisagreement); },
                       writer);
}

ImportSummary writeImport(const std::filesystem::path& historyPath,
                          const std::function<ImportPlan(std::string_view content)>& plan,
                          const HistoryAppender::Writer& writer)
{
    ImportSummary summary;
    HistoryAppender(historyPath, writer)
        .rewritePlanned(
            [&](std::string_view content) -> std::optional<std::string> {
                const ImportPlan made = plan(content);
                summary = made.summary;
                if (made.records.empty() && made.filled.empty())
                    return std::nullopt;
                return made.applyTo(content);
            },
            true);
    return summary;
}

ImportSummary importFromSources(const std::filesystem::path& historyPath, const std::vector<std::string>& sources,
                                bool dryRun, bool acceptDisagreement)
{
    std::vector<ResultsSource> parsed;
    for (const std::string& source : sources)
        parsed.push_back(parseResultsCsv(readImportSource(source), source));
    return importResults(historyPath, parsed, dryRun, {}, acceptDisagreement);
}

std::string describeImport(const ImportSummary& summary)
{
    std::string text;
    if (summary.added == 0 && summary.filledNumbers4 == 0 && summary.onlyNumbers4) {
        text = "Numbers4 の結果だけでは回を追加できません。Numbers3 の結果の CSV ファイルも一緒に指定してください";
        if (summary.lastBefore)
            text += " (履歴ファイルは" + drawName(*summary.lastBefore) + "までです)";
        text += "。\n";
    } else if (summary.added == 0 && summary.filledNumbers4 == 0) {
        text = "追加する結果はありません";
        if (summary.lastBefore)
            text += " (履歴ファイルは" + drawName(*summary.lastBefore) + "までです)";
        text += "。\n";
    } else if (summary.added > 0) {
        text = drawName(summary.firstAdded);
        if (summary.lastAdded != summary.firstAdded)
            text += "～" + drawName(summary.lastAdded);
        text += "の " + std::to_string(summary.added) + " 回分を" +
                (summary.dryRun ? "追加します (--dry-run のため、書き込んでいません)。\n" : "追加しました。\n");
    }
    if (summary.filledNumbers4 > 0)
        text += "履歴ファイルにある " + std::to_string(summary.filledNumbers4) + " 回分の空の Numbers4 の欄を、取り込み元の結果で" +
                (summary.dryRun ? "埋めます。\n" : "埋めました。\n");
    if (summary.withoutNumbers4 > 0)
        text += "うち " + std::to_string(summary.withoutNumbers4) +
                " 回分は Numbers4 の結果が取り込み元にないため、Numbers4 の欄を 0 に" +
                (summary.dryRun ? "します。\n" : "しました。\n");
    if (summary.disagreeing > 0) {
        text += "履歴ファイルにすでにある " + std::to_string(summary.disagreeing) + " 回分は、取り込み元と結果が違います (";
        for (std::size_t i = 0; i < summary.firstDisagreeing.size(); ++i)
            text += (i ? "、" : "") + drawName(summary.firstDisagreeing[i]);
        if (summary.disagreeing > summary.firstDisagreeing.size())
            text += " ほか";
        text += ")。履歴ファイルのその回は書き換えていません。\n";
    }
    return text;
}

std::string readImportSource(const std::string& source, std::size_t maxBytes)
{
    if (isDownloadAddress(source))
        return downloadSource(source);
    const std::string name = HistoryFile::fullPath(source).string();
    // O_NONBLOCK: a FIFO would otherwise hold the open until some writer comes, before the
    // check below could refuse it.
    const int fd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        throw IoError(describeSystemError("取り込み元のファイル " + name + " を開けません", errno));
    struct Close {
        int fd;
        ~Close() { ::close(fd); }
    } close {fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        throw IoError("取り込み元のファイル " + name + " を開けません: 通常のファイルではありません");
    if (std::size_t(info.st_size) > maxBytes)
        throw IoError("取り込み元のファイル " + name + " は大きすぎます (" + std::to_string(maxBytes >> 20) +
                      " MB まで)。結果の CSV ファイルか確かめてください。");
    std::string bytes(std::size_t(info.st_size), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw IoError(describeSystemError("取り込み元のファイル " + name + " を読めません", errno));
        if (n == 0)
            break;
        done += std::size_t(n);
    }
    bytes.resize(done);
    return bytes;
}

}  // namespace tolvi
