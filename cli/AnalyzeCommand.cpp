// tolvi analyze: the views players read the draws through, each beside its exact value under pure
// chance, with a test of the difference and Holm's correction over every test shown.

#include "analysis/DrawAnalysis.h"
#include "analysis/Popularity.h"
#include "base/Errors.h"
#include "base/NumberFormat.h"
#include "cli/Commands.h"
#include "history/HistoryFile.h"

#include <nlohmann/json.hpp>

#include <iostream>
#include <memory>

namespace tolvi::cli {

namespace {

constexpr std::array kViews {"positions", "numbers", "sum",        "patterns", "skips",
                             "repeat",    "pairs",   "popularity", "tests"};

struct AnalyzeOptions {
    std::string game = "n3";
    std::string dir = ".";
    std::int32_t last = 0;
    std::int32_t since = 0;
    std::string view;
    bool json = false;
};

nlohmann::ordered_json testJson(const ChiSquare& test)
{
    return {{"chi2", test.chi2}, {"df", test.df}, {"p", test.p}};
}

// A figure that exists only with enough draws behind it: null without them.
nlohmann::ordered_json orNull(bool exists, double value)
{
    return exists ? nlohmann::ordered_json(value) : nlohmann::ordered_json(nullptr);
}

nlohmann::ordered_json toJson(const DrawAnalysis& a, const Popularity& popularity)
{
    const GameDescription& g = describe(a.game);
    const ExactModel& model = exactModel(a.game);
    nlohmann::ordered_json out;
    out["game"] = g.key;
    out["draws"] = a.draws;
    out["range"] = a.range;
    for (std::size_t p = 0; p < a.positions.size(); ++p) {
        nlohmann::ordered_json position = {{"place", placeName(a.game, int(p))}, {"counts", a.positions[p]}};
        position.update(testJson(a.positionTests[p]));
        out["positions"].push_back(position);
    }
    out["numbers"] = testJson(a.numbersTest);
    out["numbers"]["counts"] = a.numbers;
    // How long each number has stayed away, and its longest absence in the range.
    for (const Absence& absence : a.numberAbsences) {
        out["numbers"]["current"].push_back(absence.current);
        out["numbers"]["longest"].push_back(absence.longest);
    }
    out["mini"] = testJson(a.miniTest);
    out["mini"]["counts"] = a.mini;
    out["pairs"] = nlohmann::ordered_json::array();
    for (const PairCounts& pair : a.pairs) {
        nlohmann::ordered_json item = {{"key", pair.key}, {"name", pair.name}, {"counts", pair.counts}};
        item.update(testJson(pair.test));
        out["pairs"].push_back(item);
    }
    out["sum"] = {{"counts", a.sums}, {"expected", a.sumExpected}};
    out["sum"].update(testJson(a.sumTest));
    nlohmann::ordered_json shapes, expected;
    for (std::size_t s = 0; s < a.shapes.size(); ++s) {
        shapes[model.shapeKeys[s]] = a.shapes[s];
        expected[model.shapeKeys[s]] = a.shapeExpected[s];
    }
    out["patterns"] = {{"counts", shapes}, {"expected", expected}};
    out["patterns"].update(testJson(a.shapeTest));
    for (std::size_t p = 0; p < a.positions.size(); ++p) {
        out["patterns"]["odd"].push_back({{"count", a.odd[p]}, {"p", a.oddTests[p].p}});
        out["patterns"]["high"].push_back({{"count", a.high[p]}, {"p", a.highTests[p].p}});
    }
    for (std::size_t p = 0; p < a.digitAbsences.size(); ++p) {
        nlohmann::ordered_json digits;
        for (const Absence& absence : a.digitAbsences[p])
            digits.push_back({{"current", absence.current},
                              {"longest", absence.longest},
                              {"chance_of_current", absence.chanceOfCurrent}});
        out["skips"].push_back({{"place", placeName(a.game, int(p))}, {"digits", digits}, {"p", a.gapTests[p].p}});
    }
    const double share = a.repeatDraws > 0 ? double(a.repeatAny) / double(a.repeatDraws) : 0.0;
    out["repeat"] = {{"draws", a.repeatDraws}, {"share", share}, {"expected", a.repeatExpected}, {"p", a.repeatTest.p}};
    for (std::size_t p = 0; p < a.samePlace.size(); ++p)
        out["repeat"]["same_place"].push_back(
            {{"share", a.repeatDraws > 0 ? double(a.samePlace[p]) / double(a.repeatDraws) : 0.0},
             {"expected", model.samePlace},
             {"p", a.samePlaceTests[p].p}});
    out["popularity"] = {{"median_prize", popularity.medianPrize}, {"ticket_price", popularity.ticketPrice}};
    for (const KindPopularity& k : popularity.kinds)
        out["popularity"]["kinds"][describe(k.kind).key] = {{"name", describe(k.kind).name},
                                                            {"numbers", k.numbers},
                                                            {"draws", k.draws},
                                                            {"mean_ratio", orNull(k.hasMean(), k.meanRatio)},
                                                            {"low", orNull(k.hasInterval(), k.low)},
                                                            {"high", orNull(k.hasInterval(), k.high)},
                                                            {"expected_return", orNull(k.hasMean(), k.expectedReturn)}};
    out["tests"] = nlohmann::ordered_json::array();
    for (const TestResult& test : a.tests)
        out["tests"].push_back({{"key", test.key},
                                {"name", test.name},
                                {"chi2", test.test.chi2},
                                {"df", test.test.df},
                                {"p", test.test.p},
                                {"p_holm", test.pHolm}});
    return out;
}

std::string pText(double p)
{
    return p < 0.001 ? "<0.001" : formatFixed(p, 3);
}

std::string countsLine(const std::string& label, std::span<const long> counts)
{
    std::string line = "  " + padToWidth(label, 10);
    for (const long count : counts)
        line += formatInt(count, 6);
    return line + "\n";
}

std::string positionsText(const DrawAnalysis& a)
{
    std::string text = "出目 (位ごとの数字の回数、偶然なら各 " + formatFixed(double(a.draws) / 10, 1) + " 回)\n  " +
                       padToWidth("", 10);
    for (int d = 0; d < 10; ++d)
        text += formatInt(d, 6);
    text += "\n";
    for (std::size_t p = 0; p < a.positions.size(); ++p)
        text += countsLine(placeName(a.game, int(p)), a.positions[p]);
    return text;
}

std::string numbersText(const DrawAnalysis& a)
{
    const GameDescription& g = describe(a.game);
    const auto most = std::max_element(a.numbers.begin(), a.numbers.end());
    const auto least = std::min_element(a.numbers.begin(), a.numbers.end());
    return "番号: 偶然なら各 " + formatFixed(double(a.draws) / g.numberSpace, 2) + " 回。最多 " +
           g.numberText(int(most - a.numbers.begin())) + " (" + formatInt(*most, 0) + " 回)、最少 " +
           g.numberText(int(least - a.numbers.begin())) + " (" + formatInt(*least, 0) + " 回)\n";
}

std::string sumText(const DrawAnalysis& a)
{
    std::string text = "合計値 (回数 / 偶然なら)\n";
    for (std::size_t s = 0; s < a.sums.size(); ++s)
        text += "  " + formatInt(std::int64_t(s), 2) + formatInt(a.sums[s], 7) + "  " +
                formatFixed(a.sumExpected[s], 1) + "\n";
    return text;
}

std::string patternsText(const DrawAnalysis& a)
{
    const ExactModel& model = exactModel(a.game);
    std::string text = "形 (回数 / 偶然なら)\n";
    for (std::size_t s = 0; s < a.shapes.size(); ++s)
        text += "  " + padToWidth(model.shapeNames[s], 14) + formatInt(a.shapes[s], 7) + "  " +
                formatFixed(a.shapeExpected[s], 1) + "\n";
    text += "奇数・大 (5-9) の回数 (偶然なら各 " + formatFixed(double(a.draws) / 2, 1) + " 回)\n";
    for (std::size_t p = 0; p < a.odd.size(); ++p)
        text += "  " + padToWidth(placeName(a.game, int(p)), 10) + "奇数" + formatInt(a.odd[p], 7) + "  大" +
                formatInt(a.high[p], 7) + "\n";
    return text;
}

std::string skipsText(const DrawAnalysis& a)
{
    std::string text = "遅れ (今の遅れ / 最長、偶然なら 1 回あたり 1/10 で現れる)\n  " + padToWidth("", 10);
    for (int d = 0; d < 10; ++d)
        text += formatInt(d, 9);
    text += "\n";
    for (std::size_t p = 0; p < a.digitAbsences.size(); ++p) {
        text += "  " + padToWidth(placeName(a.game, int(p)), 10);
        for (const Absence& absence : a.digitAbsences[p])
            text += formatInt(absence.current, 4) + "/" + padToWidth(formatInt(absence.longest, 0), 4);
        text += "\n";
    }
    return text;
}

std::string repeatText(const DrawAnalysis& a)
{
    const double n = double(std::max(a.repeatDraws, 1L));
    std::string text = "引っ張り: 前回の数字をひとつ以上含んだ回 " + formatFixed(100.0 * double(a.repeatAny) / n, 2) +
                       "％ (偶然なら " + formatFixed(100.0 * a.repeatExpected, 2) + "％)\n";
    for (std::size_t p = 0; p < a.samePlace.size(); ++p)
        text += "  " + padToWidth(placeName(a.game, int(p)), 10) + "同じ数字 " +
                formatFixed(100.0 * double(a.samePlace[p]) / n, 2) + "％ (偶然なら " +
                formatFixed(100.0 * exactModel(a.game).samePlace, 2) + "％)\n";
    return text;
}

std::string pairsText(const DrawAnalysis& a)
{
    std::string text = "ペア (100 通り、偶然なら各 " + formatFixed(double(a.draws) / 100, 2) + " 回)\n";
    const auto line = [&](const std::string& name, std::span<const long> counts) {
        const auto most = std::max_element(counts.begin(), counts.end());
        const auto least = std::min_element(counts.begin(), counts.end());
        return "  " + padToWidth(name, 30) + "最多 " + formatInt(most - counts.begin(), 2, 2) + " (" +
               formatInt(*most, 0) + " 回)、最少 " + formatInt(least - counts.begin(), 2, 2) + " (" +
               formatInt(*least, 0) + " 回)\n";
    };
    for (const PairCounts& pair : a.pairs)
        text += line(pair.name, pair.counts);
    return text + line("ミニ (下2桁)", a.mini);
}

std::string popularityText(const Popularity& popularity)
{
    std::string text = "人気度 (ストレート当せん金 ÷ 前後 50 回の中央値、平均と 95％ 区間; 1 口 " +
                       formatInt(popularity.ticketPrice, 0) + " 円の期待値)\n";
    for (const KindPopularity& k : popularity.kinds) {
        text += "  " + padToWidth(describe(k.kind).name, 30) + formatInt(k.draws, 6) + " 回  ";
        if (!k.hasMean()) {
            text += "—\n";
            continue;
        }
        text += formatFixed(k.meanRatio, 3) + " (" +
                (k.hasInterval() ? formatFixed(k.low, 3) + "～" + formatFixed(k.high, 3) : std::string("—")) + ")  " +
                formatFixed(k.expectedReturn, 1) + " 円\n";
    }
    return text + "  " + kPopularityNote + "\n";
}

std::string testsText(const DrawAnalysis& a)
{
    long significant = 0;
    for (const TestResult& test : a.tests)
        significant += test.pHolm < kSignificance;
    std::string text = "検定 " + formatInt(std::int64_t(a.tests.size()), 0) +
                       " 個 (p: そのままの値、補正後: Holm の方法で " + formatInt(std::int64_t(a.tests.size()), 0) +
                       " 個まとめて補正した値)\n";
    for (const TestResult& test : a.tests)
        text += "  " + padToWidth(test.name, 44) + " p " + padToWidth(pText(test.test.p), 7) + " 補正後 " +
                padToWidth(pText(test.pHolm), 7) + verdictWords(test.pHolm) + "\n";
    text +=
        "偶然だけでも、そのままの p が 0.05 未満になる検定はおよそ 20 個に 1 個あります。補正後に 0.05 未満の検定: " +
        formatInt(significant, 0) + " 個\n";
    return text;
}

std::string textOf(const DrawAnalysis& a, const Popularity& popularity, const std::string& view)
{
    const auto wanted = [&](const char* name) { return view.empty() || view == name; };
    std::string text = describe(a.game).name + std::string(": ") + a.range + "\n";
    if (wanted("positions"))
        text += positionsText(a);
    if (wanted("numbers"))
        text += numbersText(a);
    if (wanted("sum"))
        text += sumText(a);
    if (wanted("patterns"))
        text += patternsText(a);
    if (wanted("skips"))
        text += skipsText(a);
    if (wanted("repeat"))
        text += repeatText(a);
    if (wanted("pairs"))
        text += pairsText(a);
    if (wanted("popularity"))
        text += popularityText(popularity);
    if (wanted("tests"))
        text += testsText(a);
    return text;
}

int analyzeOnce(const AnalyzeOptions& options)
{
    return printingErrors([&] {
        const std::optional<Game> game = gameOfKey(options.game);
        if (!game)
            throw RefusedError("ゲームは n3 か n4 で指定してください: " + options.game);
        const DrawSeries series = loadDraws(std::filesystem::path(options.dir) / kHistoryFileName, *game);
        const DrawRange range = options.last > 0    ? DrawRange::last(options.last)
                                : options.since > 0 ? DrawRange::since(options.since)
                                                    : DrawRange::all();
        const DrawAnalysis analysis = analyzeDraws(*game, select(series, range));
        const Popularity popularity = analyzePopularity(series, range);
        if (options.json) {
            nlohmann::ordered_json out = toJson(analysis, popularity);
            if (!options.view.empty() && options.view != "tests" && out.contains(options.view))
                out = {{"game", out["game"]},
                       {"draws", out["draws"]},
                       {options.view, out[options.view]},
                       {"tests", out["tests"]}};
            std::cout << out.dump() << '\n';
        } else {
            std::cout << textOf(analysis, popularity, options.view);
        }
        return 0;
    });
}

}  // namespace

void addAnalyzeCommand(CLI::App& app, int& status)
{
    auto options = std::make_shared<AnalyzeOptions>();
    CLI::App* analyze = app.add_subcommand(
        "analyze", "出目・遅れ・引っ張り・ペア・合計値・形・人気度を、偶然だけの場合の値と検定とともに表示します");
    analyze->add_option("--game", options->game, "ゲーム: n3 (ナンバーズ3) か n4 (ナンバーズ4)")
        ->check(CLI::IsMember({"n3", "n4"}));
    analyze->add_option("--last", options->last, "最後の N 回だけを見ます")->check(CLI::PositiveNumber);
    analyze->add_option("--since", options->since, "第 N 回から後だけを見ます")
        ->check(CLI::PositiveNumber)
        ->excludes("--last");
    std::vector<std::string> views(kViews.begin(), kViews.end());
    analyze->add_option("--view", options->view, "ひとつの見方だけを表示します")->check(CLI::IsMember(views));
    addHistoryDirOption(*analyze, options->dir);
    analyze->add_flag("--json", options->json, "数値をすべて JSON で出力します");
    analyze->callback([options, &status] { status = analyzeOnce(*options); });
}

}  // namespace tolvi::cli
