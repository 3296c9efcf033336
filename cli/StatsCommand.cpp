// tolvi stats: the numbers behind the charts, and how the prediction did against chance.

#include "analysis/PredictionVerdict.h"
#include "base/NumberFormat.h"
#include "cli/Commands.h"
#include "cli/EngineFactory.h"
#include "engine/RunStatistics.h"
#include "engine/RunTotals.h"
#include "history/HistoryFile.h"
#include "history/HistoryReader.h"

#include <nlohmann/json.hpp>

#include <iostream>
#include <memory>

namespace tolvi::cli {

namespace {

struct StatsOptions {
    Edition edition = Edition::Numbers3;
    std::string dir = ".";
    bool json = false;
};

nlohmann::ordered_json toJson(const RunStatistics& s)
{
    nlohmann::ordered_json out;
    out["draw"] = s.draw;
    out["spend"] = s.spend;
    out["won"] = s.won;
    out["expected"] = s.expected;
    out["band_low"] = s.bandLow;
    out["band_high"] = s.bandHigh;
    out["hits"] = {{"straight", s.straightHits}, {"box", s.boxHits}, {"mini", s.miniHits}};
    out["digits"] = {{"all", s.digitsAll}, {"last100", s.digitsLast100}};
    return out;
}

std::string yen(double value, int width = 0)
{
    return formatGrouped(std::int64_t(value + 0.5), width, ",") + " 円";
}

// One line of the summary: the labels padded to one width as a terminal shows them, the amounts
// right-aligned after them.
std::string summaryLine(const char* label, double amount, const std::string& rest)
{
    return "  " + padToWidth(label, 30) + yen(amount, 10) + rest + "\n";
}

std::string percent(double won, double spend)
{
    const std::int64_t tenths = spend > 0 ? std::int64_t(won * 1000.0 / spend + 0.5) : 0;
    return formatInt(tenths / 10, 0) + "." + formatInt(tenths % 10, 0) + "％";
}

std::string summary(const RunStatistics& s, Edition edition)
{
    const std::string title = describe(edition).applicationTitle;
    if (s.draw.empty())
        return title + ": 結果のある回が履歴ファイルにないため、集計できません。\n";
    const std::size_t last = s.draw.size() - 1;
    const double spend = double(s.spend[last]), won = double(s.won[last]);
    std::string text = title + ": 第" + formatInt(s.draw.front(), 0) + "回～第" + formatInt(s.draw[last], 0) + "回の " +
                       formatInt(std::int64_t(s.draw.size()), 0) + " 回分、予想した番号を買い続けた場合\n";
    text += summaryLine("購入金額", spend, "");
    text += summaryLine("回収金額", won,
                        " (回収率 " + formatInt(paybackRate(std::int32_t(s.won[last]), s.spend[last]).value_or(0), 0) +
                            "％)");
    text += summaryLine("でたらめに買った場合の期待値", s.expected[last],
                        " (回収率 " + percent(s.expected[last], spend) + ")");
    text += summaryLine("偶然の範囲", s.bandLow[last],
                        "～" + yen(s.bandHigh[last]) + " (でたらめに買う " + formatGrouped(kSimulatedBuyers, 0, ",") +
                            " 人のうち、中ほどの 90％ が収まる範囲)");
    text += won < s.bandLow[last]    ? "  結果: 偶然の範囲より下です。\n"
            : won > s.bandHigh[last] ? "  結果: 偶然の範囲より上です。\n"
                                     : "  結果: 偶然の範囲内です。\n";
    return text;
}

int statsOnce(const StatsOptions& options)
{
    return printingErrors([&] {
        RunRequest request;
        request.historyPath = std::filesystem::path(options.dir) / kHistoryFileName;
        const RunStatistics statistics = collectStatistics(*makeEngine(options.edition), options.edition, request);
        const PredictionVerdict verdict =
            judgePrediction(statistics, options.edition, HistoryReader::readContent(request.historyPath));
        if (options.json) {
            nlohmann::ordered_json out = toJson(statistics);
            out["straight_hits"] = verdict.hits;
            out["straight_expected"] = verdict.expectedHits;
            out["straight_p"] = verdict.p;
            out["straight_rate_low"] = verdict.hitRate.low;
            out["straight_rate_high"] = verdict.hitRate.high;
            out["buyers_at_least"] = verdict.buyersAtLeast;
            out["detectable_edge"] = verdict.detectableEdge;
            std::cout << out.dump() << '\n';
        } else {
            std::cout << summary(statistics, options.edition);
            if (verdict.draws > 0)
                std::cout << "  " << verdictCaption(verdict) << '\n';
        }
        return 0;
    });
}

}  // namespace

void addStatsCommand(CLI::App& app, int& status)
{
    auto options = std::make_shared<StatsOptions>();
    CLI::App* stats = app.add_subcommand(
        "stats", "予想を過去の全回で買い続けた場合の回収を、でたらめな番号を買った場合 (偶然) と比べて表示します");
    addEditionOption(*stats, options->edition);
    addHistoryDirOption(*stats, options->dir);
    stats->add_flag("--json", options->json, "グラフの元になる数値をすべて JSON で出力します");
    stats->callback([options, &status] { status = statsOnce(*options); });
}

}  // namespace tolvi::cli
