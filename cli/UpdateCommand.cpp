// tolvi update: adds the draws published since the history's last one, from the publisher's
// per-draw files and the public mirror.

#include "base/NumberFormat.h"
#include "cli/Commands.h"
#include "cli/EngineFactory.h"
#include "cli/SimulatedWindow.h"
#include "history/HistoryFile.h"
#include "results/ResultsUpdate.h"
#include "tickets/TicketReport.h"

#include <nlohmann/json.hpp>

#include <iostream>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

namespace tolvi::cli {

namespace {

struct UpdateOptions {
    std::string dir = ".";
    UpdateSource from = UpdateSource::Both;
    bool dryRun = false;
    bool json = false;
    bool status = false;
    bool notify = false;
};

nlohmann::ordered_json toJson(const UpdateReport& report)
{
    nlohmann::ordered_json json;
    json["last_before"] = report.lastBefore ? nlohmann::ordered_json(*report.lastBefore) : nlohmann::ordered_json();
    json["last_held"] = report.lastHeld;
    json["added"] = report.added;
    json["first_added"] = report.added ? nlohmann::ordered_json(report.firstAdded) : nlohmann::ordered_json();
    json["last_added"] = report.added ? nlohmann::ordered_json(report.lastAdded) : nlohmann::ordered_json();
    json["from_publisher"] = report.fromPublisher;
    json["from_mirror"] = report.fromMirror;
    json["not_published_yet"] =
        report.notPublishedYet ? nlohmann::ordered_json(*report.notPublishedYet) : nlohmann::ordered_json();
    json["cancelled"] = report.cancelled;
    json["dry_run"] = report.dryRun;
    json["notes"] = report.notes;
    json["failure"] = report.failure;
    json["message"] = describeUpdate(report);
    return json;
}

// Whether the prediction for the newest added draw, made from the draws before it, hit: the run
// without one-digit-off rows lists a row for each of its candidates that hit that draw.
std::string predictionOutcome(const std::filesystem::path& historyPath, std::int32_t draw)
{
    RunRequest request;
    request.tag = kPredictionTag;
    request.mismatch = false;
    request.historyPath = historyPath;
    request.groupSeparator = userGroupSeparator();
    SimulatedWindow window(Edition::Numbers3);
    makeEngine(Edition::Numbers3)->run(request, window);
    std::string hits;
    for (const ResultRow& row : window.results())
        if (row.caption == std::to_string(draw))
            hits += (hits.empty() ? "" : "、") + row.result.substr(0, 3);
    const std::string name = "第" + std::to_string(draw) + "回";
    return hits.empty() ? name + "の予想ははずれました。" : name + "の予想 " + hits + " が当たりました。";
}

// A desktop notification where the desktop has one; nothing is lost without it.
void notifyDesktop(const std::string& body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        ::execlp("notify-send", "notify-send", "--app-name=Tolvi Numbers", "Tolvi Numbers: 最新の結果", body.c_str(),
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (child > 0)
        ::waitpid(child, nullptr, 0);
}

// What the user's tickets won on the draws the update added: settled from the history as it now
// is. A ledger that cannot be read does not make the update fail: what was added stays added.
std::string ticketWins(const std::filesystem::path& historyPath, const UpdateReport& report)
{
    if (report.added == 0 || report.dryRun)
        return {};
    try {
        return ticketWinsBeside(historyPath, report.firstAdded, report.lastAdded);
    } catch (const std::exception& e) {
        return std::string("購入記録を確かめられませんでした: ") + e.what() + "\n";
    }
}

int updateOnce(const UpdateOptions& options)
{
    const std::filesystem::path historyPath =
        HistoryFile::fullPath(std::filesystem::path(options.dir) / kHistoryFileName);
    return printingErrors([&] {
        if (options.status) {
            std::cout << describeUpdateStatus(historyPath.parent_path());
            return 0;
        }
        UpdateSettings settings = defaultUpdateSettings();
        settings.from = options.from;
        settings.dryRun = options.dryRun;
        UpdateHooks hooks;
        if (!options.json && ::isatty(STDERR_FILENO))
            hooks.progress = [](const UpdateProgress& step) {
                std::cerr << "\r\033[K(" << step.done << "/" << step.total << ") " << step.step << std::flush;
            };
        const UpdateReport report = updateHistory(historyPath, settings, hooks);
        if (hooks.progress)
            std::cerr << "\r\033[K" << std::flush;
        const std::string wins = ticketWins(historyPath, report);
        if (options.json) {
            nlohmann::ordered_json json = toJson(report);
            json["tickets"] = wins;
            std::cout << json.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
        } else {
            std::cout << describeUpdate(report) << wins;
        }
        if (options.notify && report.added > 0 && !report.dryRun) {
            std::string body = describeUpdate(report) + wins;
            try {
                body += predictionOutcome(historyPath, report.lastAdded);
            } catch (const std::exception&) {
                // The notification still says what was added.
            }
            notifyDesktop(body);
        }
        return report.failure.empty() ? 0 : 1;
    });
}

}  // namespace

void addUpdateCommand(CLI::App& app, int& status)
{
    auto options = std::make_shared<UpdateOptions>();
    CLI::App* update = app.add_subcommand(
        "update", "履歴の最後の回より後に公開された結果を、公開元の回ごとのファイルとミラーから取得して追加します");
    addHistoryDirOption(*update, options->dir);
    update->add_option("--from", options->from, "取得元: publisher (公開元), mirror (ミラー), both (両方を照合、既定)")
        ->transform(CLI::CheckedTransformer(std::map<std::string, UpdateSource> {{"publisher", UpdateSource::Publisher},
                                                                                 {"mirror", UpdateSource::Mirror},
                                                                                 {"both", UpdateSource::Both}},
                                            CLI::ignore_case));
    update->add_flag("--dry-run", options->dryRun, "何を追加するかを表示するだけで、書き込みません");
    update->add_flag("--json", options->json, "結果を JSON で出力します");
    update->add_flag("--status", options->status,
                     "前回の更新の記録 (確認した時刻、追加した回、取得元の応答) を表示します");
    update->add_flag("--notify", options->notify, "回を追加したとき、デスクトップに通知します (notify-send)");
    update->callback([options, &status] { status = updateOnce(*options); });
}

}  // namespace tolvi::cli
