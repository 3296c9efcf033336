#include "results/ResultsUpdate.h"

#include "base/Errors.h"
#include "base/NumberFormat.h"
#include "results/HistoryImport.h"
#include "results/PublisherFiles.h"
#include "transport/SourceDownload.h"
#include "history/AtomicFile.h"
#include "history/DrawRecord.h"
#include "history/HistoryAppender.h"
#include "history/HistoryFile.h"
#include "history/HistoryReader.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <thread>

namespace tolvi {

namespace {

constexpr const char* kPublisherUrl = "https://www.mizuhobank.co.jp/retail/takarakuji/numbers/csv";
constexpr const char* kMirrorUrl = "https://raw.githubusercontent.com/hazimekom/numbers4-api/main/data";
constexpr const char* kPublisherList = "numbers.csv";
constexpr const char* kMirrorNumbers3 = "numbers3_results_v2.csv";
constexpr const char* kMirrorNumbers4 = "numbers4_results_v2.csv";

std::string drawName(std::int32_t draw)
{
    return "第" + std::to_string(draw) + "回";
}

std::string joinUrl(const std::string& folder, const std::string& file)
{
    return !folder.empty() && folder.back() == '/' ? folder + file : folder + "/" + file;
}

std::string environment(const char* name, const char* otherwise)
{
    const char* set = std::getenv(name);
    return set && *set ? set : otherwise;
}

std::string timeText(const JapanTime& time)
{
    return isoDate(time.date) + " " + clockTime(time);
}

// Both games of one draw, as a source gives them.
struct DrawResults {
    GameResult numbers3, numbers4;
};

// One run of the update: the sources' answers and what they say, draw by draw.
class Update {
public:
    Update(const UpdateSettings& settings, const UpdateHooks& hooks, UpdateReport& report)
        : settings_(settings), hooks_(hooks), report_(report)
    {
    }

    void run();
    void writeStatus(const std::filesystem::path& historyDir) const;
    const MergedResults& results() const { return results_; }
    // Whether the new draw `draw` was taken from the publisher (else from the mirror).
    bool fromPublisher(std::int32_t draw) const { return published_.count(draw) > 0; }

private:
    bool cancelled()
    {
        report_.cancelled = report_.cancelled || (hooks_.cancel && hooks_.cancel->load());
        return report_.cancelled;
    }
    void progress(std::string step)
    {
        ++requests_;
        if (hooks_.progress)
            hooks_.progress({std::move(step), requests_, std::max(requests_, plannedRequests_)});
    }
    std::string askPublisher(const std::string& file);
    void readMirror();
    void readPublisher(std::int32_t first, std::int32_t last);
    void verify(std::int32_t first);

    const UpdateSettings& settings_;
    const UpdateHooks& hooks_;
    UpdateReport& report_;
    std::size_t requests_ = 0, plannedRequests_ = 0;
    bool askedPublisher_ = false;
    std::string publisherState_ = "使っていません", mirrorState_ = "使っていません";

    ResultsSource mirror_;
    bool mirrorRead_ = false;
    std::map<std::int32_t, DrawResults> published_;
    std::optional<std::int32_t> newestListed_;         // the publisher's newest draw, when it answered
    std::optional<std::int32_t> publisherStoppedAt_;   // the draw from which the publisher gave nothing
    std::string publisherFailure_;                     // and why
    std::optional<std::int32_t> refusedAt_;            // a publisher's file that could not be trusted
    std::set<std::int32_t> wanted_;                    // the draws asked of the publisher
    MergedResults results_;
};

std::string Update::askPublisher(const std::string& file)
{
    // Politeness towards the publisher's server: never two requests within the pause.
    if (askedPublisher_ && settings_.publisherPause.count() > 0)
        std::this_thread::sleep_for(settings_.publisherPause);
    askedPublisher_ = true;
    progress("公開元から " + file + " を取得しています");
    return downloadPublisherFile(settings_, file);
}

void Update::readMirror()
{
    try {
        for (const char* file : {kMirrorNumbers3, kMirrorNumbers4}) {
            const std::string url = joinUrl(settings_.mirrorUrl, file);
            progress(std::string("ミラーから ") + file + " を取得しています");
            const ResultsSource source = parseResultsCsv(downloadSource(url), url);
            mirror_.numbers3.insert(source.numbers3.begin(), source.numbers3.end());
            mirror_.numbers4.insert(source.numbers4.begin(), source.numbers4.end());
        }
        mirror_.name = "ミラー";
        mirrorRead_ = true;
        mirrorState_ = "応答あり (第" + std::to_string(mirror_.numbers3.empty() ? 0 : mirror_.numbers3.rbegin()->first) +
                       "回まで)";
    } catch (const std::exception& e) {
        mirror_ = {};
        mirrorState_ = e.what();
        report_.notes.push_back("ミラーを使えませんでした: " + std::string(e.what()));
    }
}

void Update::readPublisher(std::int32_t first, std::int32_t last)
{
    try {
        const std::vector<std::int32_t> listed =
            parsePublisherList(askPublisher(kPublisherList), joinUrl(settings_.publisherUrl, kPublisherList));
        newestListed_ = *std::max_element(listed.begin(), listed.end());
        publisherState_ = "応答あり (第" + std::to_string(*newestListed_) + "回まで公開)";
    } catch (const std::exception& e) {
        publisherState_ = e.what();
        publisherStoppedAt_ = first;
        publisherFailure_ = e.what();
        report_.notes.push_back("公開元を使えませんでした: " + std::string(e.what()));
        return;
    }
    for (std::int32_t draw = first; draw <= std::min(last, *newestListed_); ++draw) {
        if (!wanted_.count(draw))
            continue;
        if (cancelled())
            return;
        const std::string file = publisherDrawFileName(draw);
        try {
            const PublishedDraw got = parsePublisherDrawFile(askPublisher(file), file);
            if (got.draw != draw)
                throw RefusedError("公開元の " + file + " は" + drawName(got.draw) + "の結果です (" + drawName(draw) +
                                   "を求めました)。");
            if (got.date != drawDate(draw))
                throw RefusedError("公開元の " + file + " の抽せん日は " + japaneseDate(got.date) + " ですが、" +
                                   drawName(draw) + "は " + japaneseDate(drawDate(draw)) + " の抽せんです。");
            published_[draw] = {got.numbers3, got.numbers4};
        } catch (const std::exception& e) {
            // Nothing from here on is taken from the publisher: a later draw alone would leave a gap.
            publisherStoppedAt_ = draw;
            publisherFailure_ = e.what();
            if (dynamic_cast<const RefusedError*>(&e)) {
                report_.failure = e.what();  // a file that says something else is never worked around
                refusedAt_ = draw;
            }
            return;
        }
    }
}

// Takes the new draws in order while each is known and, where both sources give it, the same.
void Update::verify(std::int32_t first)
{
    for (std::int32_t draw = first; draw <= report_.lastHeld; ++draw) {
        if (refusedAt_ && draw >= *refusedAt_)
            return;  // the failure says why
        const auto published = published_.find(draw);
        const bool inPublisher = published != published_.end();
        const bool inMirror = mirror_.numbers3.count(draw) && mirror_.numbers4.count(draw);
        if (report_.cancelled && wanted_.count(draw) && !inPublisher)
            return;
        if (inPublisher && inMirror) {
            std::vector<std::string> differences = describeDifferences(
                draw, false, mirror_.numbers3.at(draw), published->second.numbers3, "ミラー", "公開元");
            for (std::string& line : describeDifferences(draw, true, mirror_.numbers4.at(draw),
                                                         published->second.numbers4, "ミラー", "公開元"))
                differences.push_back(std::move(line));
            if (!differences.empty()) {
                report_.failure = "ミラーと公開元とで" + drawName(draw) + "の結果が違うため、" + drawName(draw) +
                                  "からは追加していません。";
                for (const std::string& line : differences)
                    report_.failure += "\n" + line;
                return;
            }
        }
        if (!inPublisher && inMirror && wanted_.count(draw) && publisherStoppedAt_ && draw == *publisherStoppedAt_)
            report_.notes.push_back("公開元から" + drawName(draw) + "を取得できなかったため、" + drawName(draw) +
                                    "からはミラーの結果だけを使いました: " + publisherFailure_);
        if (inPublisher || inMirror) {
            const DrawResults& taken = inPublisher ? published->second
                                                   : DrawResults {mirror_.numbers3.at(draw), mirror_.numbers4.at(draw)};
            results_.numbers3[draw] = taken.numbers3;
            results_.numbers4[draw] = taken.numbers4;
            continue;
        }
        // No source has this draw: not published yet, or the publisher failed on it.
        const bool listedByPublisher = newestListed_ && draw <= *newestListed_;
        if (publisherStoppedAt_ && draw >= *publisherStoppedAt_ && (listedByPublisher || !newestListed_))
            report_.failure = drawName(draw) + "の結果を取得できませんでした: " + publisherFailure_;
        else
            report_.notPublishedYet = draw;
        return;
    }
}

void Update::run()
{
    const std::int32_t first = report_.lastBefore ? *report_.lastBefore + 1 : 1;
    const bool useMirror = settings_.from != UpdateSource::Publisher;
    const bool usePublisher = settings_.from != UpdateSource::Mirror;
    if (!report_.lastBefore && !useMirror)
        throw RefusedError("履歴ファイルに抽せん結果がありません。最初から作るにはミラーを使ってください (--from mirror)。");

    plannedRequests_ = (useMirror ? 2 : 0) + (usePublisher ? 1 : 0);
    if (useMirror && !cancelled())
        readMirror();
    // The publisher's draws: the ones the mirror does not have, and the newest few in any case.
    const std::int32_t mirrorLast = mirrorRead_ && !mirror_.numbers3.empty() ? mirror_.numbers3.rbegin()->first : 0;
    for (std::int32_t draw = first; draw <= report_.lastHeld; ++draw)
        if (draw > mirrorLast || draw > report_.lastHeld - std::int32_t(kNewestCheckedWithPublisher))
            wanted_.insert(draw);
    if (usePublisher && !wanted_.empty() && !cancelled()) {
        plannedRequests_ += wanted_.size();
        readPublisher(first, report_.lastHeld);
    }
    if (!mirrorRead_ && published_.empty() && report_.failure.empty() && !report_.cancelled &&
        !(newestListed_ && *newestListed_ < first))
        throw IoError("最新の結果を取得できませんでした。インターネットへの接続を確かめてください。\n" +
                      [&] {
                          std::string lines;
                          for (const std::string& note : report_.notes)
                              lines += note + "\n";
                          return lines;
                      }());
    // The mirror's view of the draws the history holds: the guard against a source that
    // contradicts the recent history, and the note on older differences.
    if (mirrorRead_) {
        results_.numbers3.insert(mirror_.numbers3.begin(), mirror_.numbers3.lower_bound(first));
        results_.numbers4.insert(mirror_.numbers4.begin(), mirror_.numbers4.lower_bound(first));
    }
    verify(first);
}

void Update::writeStatus(const std::filesystem::path& historyDir) const
{
    nlohmann::json status;
    const std::filesystem::path path = historyDir / kUpdateStatusFileName;
    if (std::ifstream in(path); in)
        status = nlohmann::json::parse(in, nullptr, false);
    if (!status.is_object())
        status = nlohmann::json::object();
    status["last_check"] = timeText(settings_.now);
    status["last_held"] = report_.lastHeld;
    if (report_.added > 0) {
        status["last_new_draw"] = report_.lastAdded;
        status["last_added_at"] = timeText(settings_.now);
    }
    status["result"] = describeUpdate(report_);
    status["sources"] = {{"publisher", publisherState_}, {"mirror", mirrorState_}};
    writeFileAtomically(path, status.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n");
}

}  // namespace

std::string downloadPublisherFile(const UpdateSettings& settings, const std::string& file)
{
    DownloadLimits limits;
    limits.maxBytes = std::size_t(1) << 20;
    limits.whole = std::chrono::seconds(30);
    return downloadSource(joinUrl(settings.publisherUrl, file), limits);
}

UpdateSettings defaultUpdateSettings()
{
    UpdateSettings settings;
    settings.publisherUrl = environment("TOLVI_PUBLISHER_URL", kPublisherUrl);
    settings.mirrorUrl = environment("TOLVI_MIRROR_URL", kMirrorUrl);
    if (const char* pause = std::getenv("TOLVI_PUBLISHER_PAUSE_MS"); pause && *pause)
        settings.publisherPause = std::chrono::milliseconds(std::max(0L, std::strtol(pause, nullptr, 10)));
    settings.now = japanNow();
    return settings;
}

UpdateReport updateHistory(const std::filesystem::path& historyPath, const UpdateSettings& settings,
                           const UpdateHooks& hooks)
{
    UpdateReport report;
    report.dryRun = settings.dryRun;
    std::string content;
    if (const std::optional<HistoryFile> file = HistoryFile::openIfExists(historyPath, HistoryFile::Access::Read))
        content = file->readAll();
    report.lastBefore = HistoryReader::lastDrawIn(content);
    report.lastHeld = lastDrawHeld(settings.now);

    Update update(settings, hooks, report);
    if (!report.lastBefore || *report.lastBefore < report.lastHeld)
        update.run();

    const MergedResults& results = update.results();
    const auto planned = [&](std::string_view current) {
        // Counted from the history as it is under the lock: an entry made meanwhile is not added.
        ImportPlan plan = planImport(current, results);
        report.lastBefore = plan.summary.lastBefore;
        report.firstAdded = plan.summary.firstAdded;
        report.lastAdded = plan.summary.lastAdded;
        report.added = plan.summary.added;
        report.fromPublisher = report.fromMirror = 0;
        for (std::int32_t draw = report.firstAdded; report.added > 0 && draw <= report.lastAdded; ++draw)
            ++(update.fromPublisher(draw) ? report.fromPublisher : report.fromMirror);
        // The plan is made again when another writer came first: its notes once.
        report.notes.erase(std::remove_if(report.notes.begin(), report.notes.end(),
                                          [](const std::string& note) {
                                              return note.rfind("ミラーは古い", 0) == 0 || note.rfind("履歴にある", 0) == 0;
                                          }),
                           report.notes.end());
        if (plan.summary.disagreeing > 0) {
            std::string draws;
            for (const std::int32_t draw : plan.summary.firstDisagreeing)
                draws += (draws.empty() ? "" : "、") + drawName(draw);
            report.notes.push_back("ミラーは古い " + std::to_string(plan.summary.disagreeing) + " 回分 (" + draws +
                                   (plan.summary.disagreeing > plan.summary.firstDisagreeing.size() ? " ほか" : "") +
                                   ") で履歴と違いますが、履歴のその回は書き換えていません。");
        }
        if (plan.summary.filledNumbers4 > 0)
            report.notes.push_back("履歴にある " + std::to_string(plan.summary.filledNumbers4) +
                                   " 回分の空の Numbers4 の欄を、ミラーの結果で埋めました。");
        return plan;
    };
    if (!results.numbers3.empty()) {
        if (settings.dryRun)
            planned(content);
        else
            writeImport(historyPath, planned);
    }
    if (!settings.dryRun)
        update.writeStatus(historyPath.parent_path());
    return report;
}

}  // namespace tolvi

namespace tolvi {

std::string describeUpdate(const UpdateReport& report)
{
    std::string text;
    if (report.added > 0) {
        text = drawName(report.firstAdded);
        if (report.lastAdded != report.firstAdded)
            text += "～" + drawName(report.lastAdded);
        text += "の " + std::to_string(report.added) + " 回分を" +
                (report.dryRun ? "追加します (--dry-run のため、書き込んでいません)" : "追加しました") + " (公開元 " +
                std::to_string(report.fromPublisher) + " 回, ミラー " + std::to_string(report.fromMirror) + " 回)。\n";
    } else if (report.failure.empty() && !report.notPublishedYet && !report.cancelled) {
        text = "最新です";
        if (report.lastBefore)
            text += " (履歴は" + drawName(*report.lastBefore) + "までです)";
        text += "。\n";
    }
    if (report.notPublishedYet)
        text += drawName(*report.notPublishedYet) + "はまだ公開されていません。\n";
    if (report.cancelled)
        text += "中止しました。\n";
    for (const std::string& note : report.notes)
        text += note + "\n";
    if (!report.failure.empty())
        text += report.failure + "\n";
    return text;
}

std::string describeUpdateStatus(const std::filesystem::path& historyDir)
{
    const std::filesystem::path path = historyDir / kUpdateStatusFileName;
    std::ifstream in(path);
    const nlohmann::json status = in ? nlohmann::json::parse(in, nullptr, false) : nlohmann::json();
    if (!status.is_object())
        return "最新の結果への更新はまだ記録されていません (" + path.string() + " がないか、読めません)。\n";
    const auto text = [&](const char* key) {
        const auto found = status.find(key);
        return found != status.end() && found->is_string() ? found->get<std::string>() : std::string("-");
    };
    std::string lines = "前回の確認: " + text("last_check") + "\n";
    if (const auto last = status.find("last_new_draw"); last != status.end() && last->is_number_integer())
        lines += "最後に追加した回: " + drawName(last->get<std::int32_t>()) + " (" + text("last_added_at") + ")\n";
    if (const auto sources = status.find("sources"); sources != status.end() && sources->is_object())
        for (const auto& [name, label] : {std::pair {"publisher", "公開元"}, std::pair {"mirror", "ミラー"}})
            if (const auto answer = sources->find(name); answer != sources->end() && answer->is_string())
                lines += std::string(label) + "の応答: " + answer->get<std::string>() + "\n";
    std::string result = text("result");
    while (!result.empty() && result.back() == '\n')
        result.pop_back();
    return lines + "前回の結果: " + result + "\n";
}

}  // namespace tolvi
