// The tolvi tool's run command against results computed independently of the engine (see
// tests/reference/numbers3_reference.py, which produced the golden files).

#include "support/HistoryBuilder.h"
#include "support/RunTolvi.h"
#include "support/TempDir.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>

using tolvi::test::CommandResult;
using tolvi::test::runTolvi;
using tolvi::test::TempDir;

namespace {

std::string golden(const std::string& name)
{
    std::string text = tolvi::test::readFileBytes(std::filesystem::path(TOLVI_TEST_DATA) / name);
    return text;
}

// The history to copy, the options of the run, the golden file.
using GoldenCase = std::tuple<std::string, std::string, std::string>;
class CliRunGolden : public ::testing::TestWithParam<GoldenCase> { };

}  // namespace

TEST_P(CliRunGolden, MatchesTheIndependentlyComputedWindowState)
{
    const auto [history, options, goldenName] = GetParam();
    TempDir dir;
    std::filesystem::copy_file(std::filesystem::path(TOLVI_TEST_DATA) / ".." / ".." / history, dir.file("Numbers.dat"));
    const CommandResult result = runTolvi("run --json --dir " + dir.path().string() + " " + options);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output, golden(goldenName));
}

INSTANTIATE_TEST_SUITE_P(
    Numbers3, CliRunGolden,
    ::testing::Values(
        GoldenCase("tests/data/excerpt-5577-6857.dat", "", "sample-numbers3.json"),
        GoldenCase("tests/data/excerpt-5577-6857.dat", "--factor", "sample-numbers3-factor.json"),
        GoldenCase("tests/data/excerpt-5577-6857.dat", "--no-mismatch", "sample-numbers3-no-mismatch.json"),
        GoldenCase("data/Numbers.dat", "--no-mismatch", "shipped-numbers3-no-mismatch.json"),
        GoldenCase("tests/data/synthetic-1500.dat", "", "synthetic-numbers3.json"),
        GoldenCase("tests/data/synthetic-1500.dat", "--edition numbers3 --factor", "synthetic-numbers3-factor.json"),
        GoldenCase("tests/data/synthetic-1500.dat", "--no-mismatch", "synthetic-numbers3-no-mismatch.json")),
    // Named after the golden file: "sample-numbers3-factor.json" -> sample_numbers3_factor.
    [](const ::testing::TestParamInfo<CliRunGolden::ParamType>& info) {
        std::string name = std::get<2>(info.param);
        name.erase(name.find(".json"));
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

TEST(CliRun, MissingHistoryReportsTheErrorAndExitsWithOne)
{
    TempDir dir;
    const CommandResult result = runTolvi("run --json --dir " + dir.path().string());
    EXPECT_EQ(result.status, 1);
    const auto state = nlohmann::json::parse(result.output);
    EXPECT_TRUE(state["error"].is_string());
    EXPECT_NE(state["error"].get<std::string>().find("Numbers.dat"), std::string::npos);
    // Nothing changed: the labels keep their design captions and no panel is open.
    EXPECT_EQ(state["labels"]["Label16"], "次回抽選の予想番号");
    EXPECT_EQ(state["labels"]["Label17"], "000");
    EXPECT_EQ(state["visible"]["GetPanel"], false);
    EXPECT_TRUE(state["list"].empty());
}

TEST(CliRun, ConversionErrorKeepsTheRowsShownSoFar)
{
    TempDir dir;
    std::string bad = tolvi::test::drawRecord({2, "755"});
    bad.replace(9, 7, "12x4567");
    dir.write("Numbers.dat", tolvi::test::HistoryBuilder().draw(1, "295").raw(bad).bytes());
    const CommandResult result = runTolvi("run --json --dir " + dir.path().string());
    EXPECT_EQ(result.status, 1);
    const auto state = nlohmann::json::parse(result.output);
    EXPECT_EQ(state["list"], nlohmann::json::parse(R"([["   1","295","205一桁違い"]])"));
    EXPECT_EQ(state["visible"]["GetPanel"], false);
    EXPECT_EQ(state["labels"]["Label4"], "ｽﾄﾚｰﾄ的中数：");
}

// Bytes that are not UTF-8 in the error text, and an output that cannot be written, end in a
// message and status 1, never an abort or a silent success.
TEST(CliRun, ByteNotUtf8InTheErrorAndUnwritableOutputExitWithOne)
{
    TempDir dir;
    std::string bad = tolvi::test::drawRecord({2, "755"});
    bad.replace(9, 7,
                "12\xFF\xFE"
                "567");
    dir.write("Numbers.dat", tolvi::test::HistoryBuilder().draw(1, "295").raw(bad).bytes());
    const CommandResult result = runTolvi("run --json --dir " + dir.path().string());
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(nlohmann::json::parse(result.output)["error"].get<std::string>().find("\uFFFD"), std::string::npos);

    dir.write("Numbers.dat", tolvi::test::HistoryBuilder().draw(1, "295").draw(2, "755").bytes());
    ASSERT_EQ(runTolvi("run --dir " + dir.path().string()).status, 0);
    const int full =
        std::system(("LANG=C " TOLVI_CLI_PATH " run --dir " + dir.path().string() + " >/dev/full 2>&1").c_str());
    EXPECT_TRUE(WIFEXITED(full) && WEXITSTATUS(full) == 1) << full;
}

TEST(CliRun, UsageErrorsExitWithTwo)
{
    EXPECT_EQ(runTolvi("run --edition numbers5").status, 2);
    EXPECT_EQ(runTolvi("run --no-such-option").status, 2);
    EXPECT_EQ(runTolvi("").status, 2);
}

TEST(CliRun, ReadableOutputShowsWhatThePersonReadsInTheWindow)
{
    TempDir dir;
    dir.write("Numbers.dat", tolvi::test::HistoryBuilder().draw(1, "295").draw(2, "755", 90000, 15000, 9000).bytes());
    const CommandResult all = runTolvi("run --dir " + dir.path().string());
    EXPECT_EQ(all.status, 0);
    for (const char* line :
         {"   1  295       205一桁違い\n", "   2  755       755◎○▲\n", "(2 行)\n",
          "ｽﾄﾚｰﾄ的中数： 1本  金額：    90,000円\n", "総合回収率: 3281％\n",
          "次回    3回抽選予想番号: ", "予想的中！！    2回　予想 当選番号 755 (ストレート＆ボックス)\n"})
        EXPECT_NE(all.output.find(line), std::string::npos) << line << "\n" << all.output;
    // No control names, no captions a run did not write.
    EXPECT_EQ(all.output.find("Label"), std::string::npos) << all.output;
    EXPECT_EQ(all.output.find("Panel"), std::string::npos) << all.output;

    const CommandResult last = runTolvi("run --rows 1 --dir " + dir.path().string());
    EXPECT_EQ(last.output.find("   1  295"), std::string::npos) << last.output;
    EXPECT_NE(last.output.find("(2 行、最後の 1 行を表示)"), std::string::npos) << last.output;
}

TEST(CliStats, TheNumbersBehindTheChartsOnTheShippedHistory)
{
    TempDir dir;
    std::filesystem::copy_file(std::filesystem::path(TOLVI_SOURCE_DIR) / "data/Numbers.dat", dir.file("Numbers.dat"));
    const CommandResult json = runTolvi("stats --json --dir " + dir.path().string());
    ASSERT_EQ(json.status, 0);
    const nlohmann::json stats = nlohmann::json::parse(json.output);
    for (const char* key : {"spend", "won", "expected", "band_low", "band_high"})
        EXPECT_EQ(stats[key].size(), stats["draw"].size()) << key;
    EXPECT_EQ(stats["hits"]["box"].size(), stats["draw"].size());
    EXPECT_EQ(stats["won"].back(), 6943400);     // the payout panel's total
    EXPECT_EQ(stats["spend"].back(), 11286400);  // 7054 draws x 4 candidates x 400 yen
    EXPECT_EQ(stats["digits"]["all"].size(), 3u);
    // The verdict counts the hits the run reported and expects 11,286,400 / 400 tickets / 1,000.
    int straightHits = 0;
    for (const int hits : stats["hits"]["straight"])
        straightHits += hits;
    EXPECT_EQ(stats["straight_hits"], straightHits);
    EXPECT_DOUBLE_EQ(stats["straight_expected"].get<double>(), 28.216);
    EXPECT_GT(stats["detectable_edge"].get<double>(), 0.0);

    // The analyses of the other game over the last 100 draws, every test corrected upwards.
    const nlohmann::json analysis =
        nlohmann::json::parse(runTolvi("analyze --json --game n4 --last 100 --dir " + dir.path().string()).output);
    EXPECT_EQ(analysis["draws"], 100);
    EXPECT_EQ(analysis["positions"].size(), 4u);
    for (const auto& test : analysis["tests"])
        EXPECT_GE(test["p_holm"].get<double>(), test["p"].get<double>()) << test["name"];

    const CommandResult text = runTolvi("stats --edition mini --dir " + dir.path().string());
    EXPECT_EQ(text.status, 0);
    EXPECT_NE(text.output.find("(回収率 56％)"), std::string::npos) << text.output;
    EXPECT_NE(text.output.find("結果: 偶然の範囲"), std::string::npos) << text.output;
}
