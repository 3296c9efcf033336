#pragma once
// Bringing the history file up to date from results files: every draw the sources hold after the
// history's last draw is appended, in draw order, all or nothing.
//
// The new records are written exactly as an entry writes one (same lock, same field checks, same
// undo on a failed write). Draws already in the history are never rewritten; where a source
// says something else about one of them, the summary says so. A history without any draw record
// (no file, an empty file, only comments) starts at the sources' first draw: an import is the
// one way a new history file comes into being.

#include "base/Errors.h"
#include "results/ResultsCsv.h"
#include "history/HistoryAppender.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tolvi {

struct ImportSummary {
    std::optional<std::int32_t> lastBefore;   // the history's last draw before the import
    std::int32_t firstAdded = 0;
    std::int32_t lastAdded = 0;
    std::size_t added = 0;                    // new records (written, or to be written on a dry run)
    std::size_t withoutNumbers4 = 0;          // of them, draws no Numbers4 source covered
    std::size_t filledNumbers4 = 0;           // draws in the history whose empty Numbers4 fields a source fills
    bool onlyNumbers4 = false;                // the sources hold Numbers4 results alone
    std::size_t disagreeing = 0;              // draws in the history that a source gives otherwise
    std::vector<std::int32_t> firstDisagreeing;  // the first few of them
    bool dryRun = false;
};

// The sources' results merged by draw; RefusedError when two sources disagree on one draw.
struct MergedResults {
    std::map<std::int32_t, GameResult> numbers3, numbers4;
};
MergedResults mergeSources(const std::vector<ResultsSource>& sources);

// How many of the history's last draws a source must agree with before its new draws are taken:
// a source that contradicts what was recently entered is more likely wrong about the new ones too.
// Older differences only earn a note (public files carry a few wrong old prizes).
inline constexpr std::size_t kCheckedRecentDraws = 10;

// The fields where `source` says something else than the history's `stored` result of `draw`, one
// line each: "第7050回 ナンバーズ3 ストレート: 履歴 87100、取り込み元 87000". Nothing stored (a field
// that is not a number) differs from everything.
std::vector<std::string> describeDifferences(std::int32_t draw, bool numbers4, const std::optional<GameResult>& stored,
                                             const GameResult& source, const std::string& storedName = "履歴",
                                             const std::string& sourceName = "取り込み元");

// The records to append to a history holding `content`, and what the summary will say.
// RefusedError when the new draws would leave a gap (naming the first missing draw), RecentDisagreement when new
// draws would be added although the sources disagree with one of the history's last
// kCheckedRecentDraws draws (unless `acceptDisagreement`; the message lists every difference), or
// a value does not fit its field; ConversionError for a history record whose draw number is
// unreadable.
struct RecentDisagreement : RefusedError {
    using RefusedError::RefusedError;
};
struct ImportPlan {
    std::vector<std::string> records;  // 85-byte record texts to append
    // Records of the history whose Numbers4 fields are all zero (a Numbers3 file imported alone)
    // and that a Numbers4 source covers: the record's index and its new 85-byte text, the same
    // but for the Numbers4 fields. A field that holds a value is never changed.
    std::vector<std::pair<std::size_t, std::string>> filled;
    ImportSummary summary;

    // `content` with the fills and the new records: what the history becomes.
    std::string applyTo(std::string_view content) const;
};
ImportPlan planImport(std::string_view content, const MergedResults& results, bool acceptDisagreement = false);

// Writes to the history at `historyPath` what `plan` decides from its content once the lock is
// held: the new records appended and empty Numbers4 fields filled, in one replacement of the file
// (nothing when there is neither). A missing history is created. Returns the plan's summary.
ImportSummary writeImport(const std::filesystem::path& historyPath,
                          const std::function<ImportPlan(std::string_view content)>& plan,
                          const HistoryAppender::Writer& writer = {});

// Appends to the history file at `historyPath` what planImport() decides, against the file's
// content as it is once the lock is held. With `dryRun`, only reads. Errors as planImport() and
// HistoryAppender::appendPlanned(); after any error the file is as it was.
ImportSummary importResults(const std::filesystem::path& historyPath, const std::vector<ResultsSource>& sources,
                            bool dryRun, const HistoryAppender::Writer& writer = {}, bool acceptDisagreement = false);

// readImportSource() and parseResultsCsv() for each of `sources` (files or addresses), then
// importResults(): what the tool's import and the window's import both do.
ImportSummary importFromSources(const std::filesystem::path& historyPath, const std::vector<std::string>& sources,
                                bool dryRun, bool acceptDisagreement = false);

// What the user is told, in Japanese, one sentence a line.
std::string describeImport(const ImportSummary& summary);

// The bytes of one source: a file, or an http:// or https:// address. IoError with the
// reason when it cannot be had; files larger than `maxBytes` are refused.
std::string readImportSource(const std::string& source, std::size_t maxBytes = std::size_t(64) << 20);

}  // namespace tolvi
