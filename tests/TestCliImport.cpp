// The `tolvi import` and `tolvi export` commands, run as the built program.

#include "support/RunTolvi.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

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
    const std::string sources =
        (kData / "numbers3-results.csv").string() + " " + (kData / "numbers4-results.csv").string();
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
    dir.write("gap.csv",
              "draw_no,winning_number,straight_payout,box_payout,set_straight_payout,set_box_payout,mini_payout\n"
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

// An import killed at any moment leaves the history as it was or with the whole import, never a
// part of it, and the temporary file a killed import leaves behind is removed by the next write.
TEST(CliImport, KilledAtAnyMomentLeavesTheOldOrTheWholeNewHistory)
{
    TempDir dir;
    const std::string full = readFileBytes(kData / "Numbers.dat");
    constexpr std::size_t kKept = 7000;
    const std::string before = full.substr(0, kKept * 87) + "\x1A";
    dir.write("Numbers.dat", full);
    // The last 54 draws as a results file, written by the tool itself.
    const std::string exported = runTolvi("export --dir " + dir.path().string()).output;
    std::size_t cut = 0;
    for (std::size_t line = 0; line <= kKept; ++line)
        cut = exported.find('\n', cut) + 1;
    dir.write("new.csv", exported.substr(0, exported.find('\n') + 1) + exported.substr(cut));

    // Kills the import after `delay`, or lets it finish without one.
    const auto importKilledAfter = [&](std::optional<std::chrono::microseconds> delay) {
        dir.write("Numbers.dat", before);
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::dup2(null, 2);
            ::execl(TOLVI_CLI_PATH, "tolvi", "import", "--dir", dir.path().c_str(), dir.file("new.csv").c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        if (delay) {
            std::this_thread::sleep_for(*delay);
            ::kill(pid, SIGKILL);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        return status;
    };
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(importKilledAfter(std::nullopt), 0);
    ASSERT_EQ(dir.read("Numbers.dat"), full);
    const auto whole =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);

    std::mt19937 random(21);
    std::uniform_int_distribution<std::int64_t> moment(0, whole.count() * 5 / 4);
    int old = 0, complete = 0, leftBehind = 0;
    for (int run = 0; run < 200; ++run) {
        importKilledAfter(std::chrono::microseconds(moment(random)));
        const std::string after = dir.read("Numbers.dat");
        ASSERT_TRUE(after == before || after == full) << "run " << run << ": " << after.size() << " bytes";
        (after == before ? old : complete) += 1;
        for (const auto& entry : fs::directory_iterator(dir.path()))
            leftBehind += entry.path().filename().string().rfind("Numbers.dat.", 0) == 0;
    }
    RecordProperty("old", old);
    RecordProperty("complete", complete);
    RecordProperty("leftBehind", leftBehind);
    std::cout << "kills: " << old << " old, " << complete << " complete, " << leftBehind << " temporary files seen\n";
    EXPECT_GT(old, 0);
    EXPECT_GT(complete, 0);

    ASSERT_EQ(importKilledAfter(std::nullopt), 0);
    const auto checked = runTolvi("check --dir " + dir.path().string());
    EXPECT_EQ(checked.status, 0) << checked.output;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename().string().rfind("Numbers.dat.", 0), std::string::npos) << entry.path();
}

// What export replaces, and that a FIFO as the history or as a source is refused, not waited on.
TEST(CliImport, ExportReplacesOnlyRegularFilesAndNoFifoIsWaitedOn)
{
    TempDir dir;
    const std::string history = readFileBytes(kData / "Numbers.dat").substr(0, 87 * 3);
    dir.write("Numbers.dat", history);
    dir.write("old.csv", "old");
    fs::create_directory(dir.file("folder"));
    fs::create_symlink("old.csv", dir.file("to-file"));
    fs::create_symlink("folder", dir.file("to-folder"));
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    // The exit status, 124 for a tool still waiting after 10 seconds.
    const auto status = [&](const std::string& command) {
        const int status = std::system(
            ("timeout 10 " TOLVI_CLI_PATH " " + command + " --dir " + dir.path().string() + " >/dev/null 2>&1")
                .c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    for (const char* refused : {"fifo", "folder", "to-folder", "Numbers.dat"})
        EXPECT_EQ(status("export --output " + dir.file(refused).string()), 1) << refused;
    EXPECT_EQ(dir.read("Numbers.dat"), history);
    EXPECT_EQ(status("export --output " + dir.file("to-file").string()), 0);
    EXPECT_TRUE(fs::is_symlink(dir.file("to-file")));
    EXPECT_EQ(dir.read("old.csv"), runTolvi("export --output - --dir " + dir.path().string()).output);

    EXPECT_EQ(status("import --dry-run " + dir.file("fifo").string()), 1);
    fs::remove(dir.file("Numbers.dat"));
    ASSERT_EQ(::mkfifo(dir.file("Numbers.dat").c_str(), 0600), 0);
    for (const std::string& command : {std::string("run"), std::string("stats"), std::string("export"),
                                       std::string("check"), "import --dry-run " + dir.file("old.csv").string()})
        EXPECT_EQ(status(command), 1) << command;
}
