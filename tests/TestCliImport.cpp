// The `tolvi import` and `tolvi export` commands, run as the built program.

#include "support/RunTolvi.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using tolvi::test::readFileBytes;
using tolvi::test::runTolvi;
using tolvi::test::TempDir;
namespace fs = std::filesystem;

namespace {
const fs::path kData = fs::path(TOLVI_SOURCE_DIR) / "data";
}

// The shipped history is exactly what the import makes of the results files beside it.
TEST(CliImport, ShippedHistoryIsTheImportOfItsResultsFiles)
{
    TempDir dir;
    const std::string sources = (kData / "numbers3-results.csv").string() + " " + (kData / "numbers4-results.csv").string();
    const auto imported = runTolvi("import --dir " + dir.path().string() + " " + sources);
    EXPECT_EQ(imported.status, 0);
    EXPECT_EQ(imported.output, "第1回～第7054回の 7054 回分を追加しました。\n");
    EXPECT_TRUE(readFileBytes(dir.file("Numbers.dat")) == readFileBytes(kData / "Numbers.dat"))
        << "data/Numbers.dat is not what scripts/make-history.sh makes";

    const auto again = runTolvi("import --dry-run --dir " + dir.path().string() + " " + sources);
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.output, "追加する結果はありません (履歴ファイルは第7054回までです)。\n");
}

TEST(CliImport, ExitCodesAndTheFileOnEveryWayOut)
{
    TempDir dir;
    const std::string history = readFileBytes(kData / "Numbers.dat").substr(0, 87 * 3);
    dir.write("Numbers.dat", history);
    dir.write("gap.csv", "draw_no,winning_number,straight_payout,box_payout,set_straight_payout,set_box_payout,mini_payout\n"
                         "5,123,1,2,3,4,5\n");
    const std::string at = " --dir " + dir.path().string() + " ";
    EXPECT_EQ(runTolvi("import" + at + dir.file("gap.csv").string()).status, 1);
    EXPECT_EQ(runTolvi("import" + at + dir.file("missing.csv").string()).status, 1);
    EXPECT_EQ(runTolvi("import" + at).status, 2);
    EXPECT_EQ(runTolvi("import --no-such-option" + at + dir.file("gap.csv").string()).status, 2);
    EXPECT_EQ(dir.read("Numbers.dat"), history);

    const auto exported = runTolvi("export" + at);
    EXPECT_EQ(exported.status, 0);
    EXPECT_EQ(runTolvi("export" + at + "--output " + dir.file("out.csv").string()).output, "");
    EXPECT_EQ(dir.read("out.csv"), exported.output);
    EXPECT_EQ(exported.output.substr(exported.output.find('\n') + 1, 40), "1,191,119800,39900,79800,19900,11900,114");
    EXPECT_EQ(runTolvi("export --dir " + dir.file("nowhere").string()).status, 1);
}
