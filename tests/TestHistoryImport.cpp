#include "results/HistoryExport.h"
#include "results/HistoryImport.h"

#include "base/Errors.h"
#include "entry/ResultEntry.h"
#include "history/DrawRecord.h"
#include "history/HistoryFile.h"

#include "support/FaultInjection.h"
#include "support/HistoryBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using tolvi::test::HistoryBuilder;
using tolvi::test::TempDir;
namespace fs = std::filesystem;

namespace {

const std::string kNumbers3Header =
    "draw_no,winning_number,straight_payout,box_payout,set_straight_payout,set_box_payout,mini_payout\n";

// Numbers3 results of `first`..`last`: number 100 + draw (three digits), prizes 1, 2, 0, 0, 5 as
// HistoryBuilder().draw(draw, number, 1, 2, 5) writes them.
std::string numbers3Csv(int first, int last)
{
    std::string csv = kNumbers3Header;
    for (int draw = first; draw <= last; ++draw)
        csv += std::to_string(draw) + "," + std::to_string((100 + draw) % 1000) + ",1,2,0,0,5\n";
    return csv;
}

std::vector<tolvi::ResultsSource> sources(const std::vector<std::string>& texts)
{
    std::vector<tolvi::ResultsSource> parsed;
    for (const std::string& text : texts)
        parsed.push_back(tolvi::parseResultsCsv(text, "source" + std::to_string(parsed.size() + 1) + ".csv"));
    return parsed;
}

std::string importInto(const fs::path& history, const std::vector<std::string>& texts, bool dryRun = false)
{
    return tolvi::describeImport(tolvi::importResults(history, sources(texts), dryRun));
}

}  // namespace

TEST(HistoryImport, AppendsTheDrawsAfterTheLastInOrderAndSaysWhat)
{
    TempDir dir;
    const std::string before = HistoryBuilder().draw(1, "101", 1, 2, 5).endOfFile().bytes();
    const fs::path path = dir.write("Numbers.dat", before);
    const std::string numbers4 =
        "draw_no,winning_number,straight_payout,box_payout,set_straight_payout,set_box_payout\n"
        "3,12,6,7,8,9\n";

    EXPECT_EQ(importInto(path, {numbers4, numbers3Csv(1, 4)}),
              "第2回～第4回の 3 回分を追加しました。\n"
              "うち 2 回分は Numbers4 の結果が取り込み元にないため、Numbers4 の欄を 0 にしました。\n");
    EXPECT_EQ(dir.read("Numbers.dat"),
              before.substr(0, 87) +
                  "0002,102,0000001,0000002,0000000,0000000,0000005,0000,0000000,0000000,0000000,0000000\r\n"
                  "0003,103,0000001,0000002,0000000,0000000,0000005,0012,0000006,0000007,0000008,0000009\r\n"
                  "0004,104,0000001,0000002,0000000,0000000,0000005,0000,0000000,0000000,0000000,0000000\r\n\x1A");
    EXPECT_EQ(importInto(path, {numbers3Csv(1, 4)}), "追加する結果はありません (履歴ファイルは第4回までです)。\n");
}

TEST(HistoryImport, AHistoryWithoutDrawsStartsAtTheSourcesFirstDraw)
{
    const std::pair<const char*, std::optional<std::string>> histories[] = {
        {"no file", std::nullopt},
        {"empty file", ""},
        {"only comments", HistoryBuilder().comment().endOfFile().bytes()}};
    for (const auto& [what, history] : histories) {
        SCOPED_TRACE(what);
        TempDir dir;
        if (history)
            dir.write("Numbers.dat", *history);
        EXPECT_EQ(importInto(dir.file("Numbers.dat"), {numbers3Csv(7, 8)}, true)
                      .rfind("第7回～第8回の 2 回分を追加します", 0),
                  0u);
        EXPECT_EQ(fs::exists(dir.file("Numbers.dat")), history.has_value()) << "a dry run writes nothing";
        importInto(dir.file("Numbers.dat"), {numbers3Csv(7, 8)});
        const std::string after = dir.read("Numbers.dat");
        const std::string kept = history && !history->empty() ? history->substr(0, 87) : "";
        EXPECT_EQ(after.substr(0, kept.size()), kept);
        EXPECT_EQ(after.size(), kept.size() + 2 * 87 + 1);
        EXPECT_EQ(after.substr(kept.size(), 8), "0007,107");
    }
}

TEST(HistoryImport, RefusalsLeaveTheFileAsItWas)
{
    const std::string tooLarge = kNumbers3Header + "3,103,1,2,3,4,5\n4,104,10000000,2,3,4,5\n";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{numbers3Csv(4, 5)},
         "取り込み元に第3回の結果がありません (履歴ファイルは第2回までで、取り込み元のその次は第4回です)"},
        {{kNumbers3Header + "3,103,1,2,3,4,5\n5,105,1,2,3,4,5\n"},
         "取り込み元に第4回の結果がありません (取り込み元では第3回の次が第5回です)"},
        {{tooLarge}, "当選金額 10000000 は 7 桁の欄に収まりません"},
        {{numbers3Csv(3, 3), kNumbers3Header + "3,999,1,2,3,4,5\n"},
         "source1.csv と source2.csv とで第3回の結果が違います"},
        {{kNumbers3Header + "1,101,1,2,0,0,5\n2,---,1,2,0,0,7\n3,103,1,2,0,0,5\n"},
         "最後の 10 回のうちで次の結果が違います:\n"
         "第2回 ナンバーズ3 当せん番号: 履歴 102、取り込み元 ---\n第2回 ナンバーズ3 ミニ: 履歴 5、取り込み元 7\n"},
    };
    for (const auto& [texts, message] : cases) {
        SCOPED_TRACE(message);
        TempDir dir;
        const std::string before = HistoryBuilder().draw(1, "101", 1, 2, 5).draw(2, "102", 1, 2, 5).bytes();
        const fs::path path = dir.write("Numbers.dat", before);
        try {
            tolvi::importResults(path, sources(texts), false);
            ADD_FAILURE() << "imported";
        } catch (const tolvi::RefusedError& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
        EXPECT_EQ(dir.read("Numbers.dat"), before);
    }
    // The user who knows the history is right may still take the new draws.
    TempDir dir;
    const fs::path path = dir.write("Numbers.dat", HistoryBuilder().draw(1, "101", 9, 2, 5).bytes());
    EXPECT_EQ(tolvi::importResults(path, sources({numbers3Csv(1, 2)}), false, {}, true).added, 1u);
}

TEST(HistoryImport, DrawsAlreadyInTheHistoryAreNeverRewrittenButDisagreementsAreNamed)
{
    TempDir dir;
    HistoryBuilder history;
    for (int draw = 1; draw <= 18; ++draw)
        history.draw(draw, std::to_string(100 + draw), draw == 2 ? 9 : 1, 2, 5);
    const fs::path path = dir.write("Numbers.dat", history.bytes());
    std::string csv = numbers3Csv(1, 19);
    for (const int draw : {3, 4, 5, 6, 7, 8})  // other numbers than the history holds, before its last ten
        csv.replace(csv.find("\n" + std::to_string(draw) + ",") + 3, 3, "999");

    EXPECT_EQ(importInto(path, {csv}),
              "第19回の 1 回分を追加しました。\n"
              "うち 1 回分は Numbers4 の結果が取り込み元にないため、Numbers4 の欄を 0 にしました。\n"
              "履歴ファイルにすでにある 7 回分は、取り込み元と結果が違います (第2回、第3回、第4回、第5回、第6回 ほか)。"
              "履歴ファイルのその回は書き換えていません。\n");
    EXPECT_EQ(dir.read("Numbers.dat").substr(0, history.bytes().size()), history.bytes());
}

TEST(HistoryImport, ANumbers4SourceFillsOnlyEmptyNumbers4Fields)
{
    TempDir dir;
    // Draws 1-2 imported from a Numbers3 file alone (Numbers4 all zero); draw 3 holds a Numbers4 result.
    std::string history =
        HistoryBuilder().draw(1, "101", 1, 2, 5).draw(2, "102", 1, 2, 5).draw(3, "103", 1, 2, 5).bytes();
    history.replace(2 * 87 + 49, 36, "1234,0000006,0000007,0000008,0000009");
    const fs::path path = dir.write("Numbers.dat", history);
    const std::string numbers4 =
        "draw_no,winning_number,straight_payout,box_payout,set_straight_payout,set_box_payout\n"
        "1,0042,6,7,8,9\n3,9999,1,1,1,1\n";

    EXPECT_EQ(importInto(path, {numbers4}),
              "履歴ファイルにある 1 回分の空の Numbers4 の欄を、取り込み元の結果で埋めました。\n"
              "履歴ファイルにすでにある 1 回分は、取り込み元と結果が違います "
              "(第3回)。履歴ファイルのその回は書き換えていません。\n");
    std::string expected = history;
    expected.replace(49, 36, "0042,0000006,0000007,0000008,0000009");
    EXPECT_EQ(dir.read("Numbers.dat"), expected);
    // Nothing left to fill: a Numbers4 file alone cannot add draws.
    EXPECT_EQ(importInto(path, {numbers4})
                  .rfind("Numbers4 の結果だけでは回を追加できません。Numbers3 の結果の CSV ファイルも", 0),
              0u);
}

TEST(HistoryImport, ExportThenImportIntoAnEmptyFolderGivesTheSameDrawRecords)
{
    TempDir dir;
    const std::string draws =
        HistoryBuilder().draw(1, "007", 1, 22, 333).draw(2, "---").draw(3, "999", 9999999).bytes();
    std::string history = HistoryBuilder().comment().bytes() + draws;
    history.replace(87 + 49, 4, "0012");  // a Numbers4 number in the first draw
    const std::string csv = tolvi::exportHistoryCsv(history);
    EXPECT_EQ(csv.substr(tolvi::kExportHeader.size() + 1, 20), "1,007,1,22,0,0,333,0");

    importInto(dir.file("Numbers.dat"), {csv});
    EXPECT_EQ(dir.read("Numbers.dat"), history.substr(87) + "\x1A");
}

TEST(HistoryImport, FullDiskInTheMiddleLeavesNoTraceOrTheFileAsItWas)
{
    for (const bool existing : {true, false}) {
        TempDir dir;
        const tolvi::test::SmallTmpfs disk(dir.file("disk"), "size=64k,mode=0755");
        if (!disk.isMounted())
            GTEST_SKIP() << "cannot mount a tmpfs here";
        const fs::path path = disk.path() / "Numbers.dat";
        const std::string before = HistoryBuilder().draw(1, "101", 1, 2, 5).bytes();
        if (existing)
            dir.write("disk/Numbers.dat", before);
        // 2,000 records (174 KB) cannot fit the 64 KB file system.
        EXPECT_THROW(importInto(path, {numbers3Csv(1, 2000)}), tolvi::IoError);
        EXPECT_EQ(fs::exists(path), existing);
        if (existing) {
            EXPECT_EQ(tolvi::test::readFileBytes(path), before);
        }
        // The history and the backup taken before the write.
        EXPECT_EQ(std::distance(fs::directory_iterator(disk.path()), fs::directory_iterator()), existing ? 2 : 0);
    }
}

TEST(HistoryImport, AnImportRacingEntriesLeavesEveryDrawOnceInOrder)
{
    TempDir dir;
    const fs::path path = dir.write("Numbers.dat", HistoryBuilder().draw(1, "101", 1, 2, 5).bytes());
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        tolvi::EntryFields fields;
        fields.texts = {"123", "1", "2", "3", "4", "5", "1234", "1", "2", "3", "4"};
        int status = 0;
        for (int i = 0; i < 200 && status == 0; ++i) {
            try {
                tolvi::appendEntry(path, fields);
            } catch (...) {
                status = 1;
            }
        }
        ::_exit(status);
    }
    while (fs::file_size(path) < 20 * 87)  // the import starts while the entries go on
        ::usleep(1000);
    const tolvi::ImportSummary summary = tolvi::importResults(path, sources({numbers3Csv(1, 400)}), false, {}, true);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    const std::string content = dir.read("Numbers.dat");
    ASSERT_EQ(content.size() % 87, 1u);
    EXPECT_EQ(content.find('\x1A'), content.size() - 1);
    for (std::size_t k = 0; k < content.size() / 87; ++k)
        ASSERT_EQ(tolvi::DrawRecord(content.substr(k * 87, 87)).drawNumber(), int(k) + 1) << "record " << k;
    // Entries that came first are draws the import found there already, and said so.
    EXPECT_EQ(summary.firstAdded, *summary.lastBefore + 1);
    EXPECT_EQ(summary.disagreeing, std::size_t(*summary.lastBefore - 1));
}
