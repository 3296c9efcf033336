// The copies of the history kept before every write, and putting one back.

#include "base/Errors.h"
#include "history/HistoryAppender.h"
#include "history/HistoryBackups.h"

#include "support/HistoryBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using tolvi::HistoryAppender;
using tolvi::HistoryBackups;
using tolvi::test::HistoryBuilder;
using tolvi::test::readFileBytes;
using tolvi::test::TempDir;
namespace fs = std::filesystem;

TEST(HistoryBackups, EveryWriteKeepsTheFileAsItWasAndOnlyTheNewestTenStay)
{
    TempDir dir;
    const fs::path path = dir.write("Numbers.dat", HistoryBuilder().draw(1, "101").endOfFile().bytes());
    std::vector<std::string> states {readFileBytes(path)};  // states[k] ends with draw k + 1
    for (int i = 0; i < 12; ++i) {
        HistoryAppender(path).append({});
        states.push_back(readFileBytes(path));
    }
    const std::vector<tolvi::HistoryBackup> backups = HistoryBackups(path).list();
    ASSERT_EQ(backups.size(), tolvi::kKeptBackups);
    for (std::size_t i = 0; i < backups.size(); ++i) {  // newest first: the state before the last write
        EXPECT_EQ(readFileBytes(backups[i].path), states[11 - i]) << i;
        EXPECT_EQ(backups[i].lastDraw, std::int32_t(12 - i));
    }
    // Nothing else in the folder: no temporary file outlives its copy.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("backups")), fs::directory_iterator()), 10);
}

TEST(HistoryBackups, RestorePutsTheChosenCopyBackByteForByteAfterKeepingTheCurrentFile)
{
    TempDir dir;
    // A comment, a draw without a result and the end marker: every byte must come back.
    const std::string first = HistoryBuilder().comment().draw(1, "---").draw(2, "202").endOfFile().bytes();
    const fs::path path = dir.write("Numbers.dat", first);
    HistoryAppender(path).append({});
    HistoryAppender(path).append({});
    const std::string current = readFileBytes(path);
    const HistoryBackups backups(path);

    EXPECT_EQ(backups.restore(2).lastDraw, 2);
    EXPECT_EQ(readFileBytes(path), first);
    EXPECT_EQ(readFileBytes(backups.list().front().path), current);

    EXPECT_THROW(backups.restore(4), tolvi::RefusedError);
    EXPECT_EQ(readFileBytes(path), first);

    // A history deleted by mistake comes back too.
    fs::remove(path);
    backups.restore(1);
    EXPECT_EQ(readFileBytes(path), current);
}
