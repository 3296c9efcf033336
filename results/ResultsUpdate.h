#pragma once
// Bringing the history up to date in one step from the published results.
//
// Two sources: the publisher's per-draw files (one request a draw, at most one a second, the
// reference) and a public mirror of the whole results (two requests for everything, cheap for a
// long catch-up, but known to carry a few wrong old prizes). By default the mirror brings most of
// a catch-up and the publisher's files bring the draws the mirror does not have yet and, in any
// case, the newest 10 new draws; every draw both give is compared field by field.
//
// The calendar says which draws have been held, so no draw that has not is ever asked for. New
// draws are added in draw order through the import's plan and the history's one writer (same
// lock, same checks, same guard against a source that contradicts the recent history): the
// update stops at the first draw it cannot get or trust and keeps what was verified before it.

#include "results/ResultsCsv.h"
#include "history/DrawCalendar.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tolvi {

enum class UpdateSource { Publisher, Mirror, Both };

// Where the sources are, and how politely the publisher is asked.
struct UpdateSettings {
    UpdateSource from = UpdateSource::Both;
    std::string publisherUrl;  // the folder holding numbers.csv and A100NNNN.CSV
    std::string mirrorUrl;     // the folder holding numbers3_results_v2.csv and numbers4_results_v2.csv
    std::chrono::milliseconds publisherPause {1000};  // between two requests to the publisher
    JapanTime now;
    bool dryRun = false;
};

// The addresses and "now" as the programs use them: TOLVI_PUBLISHER_URL, TOLVI_MIRROR_URL and
// TOLVI_NOW when set, else the real ones; TOLVI_PUBLISHER_PAUSE_MS (for tests and benchmarks).
UpdateSettings defaultUpdateSettings();

// One of the publisher's files (`file` in the folder of settings.publisherUrl), at most 1 MB and
// 30 seconds; downloadSource()'s errors (HttpStatusError for a status of 400 or more).
std::string downloadPublisherFile(const UpdateSettings& settings, const std::string& file);

inline constexpr std::size_t kNewestCheckedWithPublisher = 10;
inline constexpr const char* kUpdateStatusFileName = "update-status.json";

struct UpdateProgress {
    std::string step;      // what is being fetched, for a progress line
    std::size_t done = 0;  // requests made so far
    std::size_t total = 0; // requests planned (may grow by one or two)
};

struct UpdateHooks {
    std::function<void(const UpdateProgress&)> progress;
    const std::atomic<bool>* cancel = nullptr;  // checked before each request
};

struct UpdateReport {
    std::optional<std::int32_t> lastBefore;  // the history's last draw before the update
    std::int32_t lastHeld = 0;               // the calendar's last draw held by `now`
    std::int32_t firstAdded = 0, lastAdded = 0;
    std::size_t added = 0, fromPublisher = 0, fromMirror = 0;
    std::optional<std::int32_t> notPublishedYet;  // the first held draw no source has yet
    std::vector<std::string> notes;  // a source not reached, older differences (Japanese, one line each)
    std::string failure;             // why the update stopped short; empty when it did not
    bool cancelled = false;
    bool dryRun = false;
};

// Adds to the history at `historyPath` every draw after its last one up to the newest published,
// as described above. Failures after which some draws could still be added are reported in
// `failure` with those draws added; RefusedError or IoError when nothing could be added because
// of a problem that must be looked at (a source contradicting the recent history, the history
// missing or damaged). Writes the status file beside the history (not on a dry run).
UpdateReport updateHistory(const std::filesystem::path& historyPath, const UpdateSettings& settings,
                           const UpdateHooks& hooks = {});

// What the user is told, one sentence a line: "第7055回～第7131回の 77 回分を追加しました (公開元 12 回,
// ミラー 65 回)", "最新です", "第7132回はまだ公開されていません".
std::string describeUpdate(const UpdateReport& report);

// The status file's content as lines for a person ("前回の確認: 2026-12-09 21:30" ...); a line
// saying there is none when no update has run.
std::string describeUpdateStatus(const std::filesystem::path& historyDir);

}  // namespace tolvi
