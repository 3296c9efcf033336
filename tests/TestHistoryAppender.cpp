#include "base/Errors.h"
#include "history/HistoryAppender.h"
#include "history/HistoryFile.h"
#include "history/HistoryReader.h"
#include "support/HistoryRecords.h"

#include "support/FaultInjection.h"
#include "support/HistoryBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using tolvi::HistoryAppender;
using tolvi::HistoryFile;
using tolvi::test::HistoryBuilder;
using tolvi::test::TempDir;
namespace fs = std::filesystem;

namespace {

// Numbers3 7 with prizes 500, 0, 12345, 9999999, 1; Numbers4 12 with prizes 1, 22, 333, 4444.
HistoryAppender::Draw sampleDraw()
{
    HistoryAppender::Draw draw;
    draw.numbers3 = 7;
    draw.numbers3Prizes = {500, 0, 12345, 9999999, 1};
    draw.numbers4 = 12;
    draw.numbers4Prizes = {1, 22, 333, 4444};
    return draw;
}

// sampleDraw() as the record text for `draw`, written out by hand.
std::string sampleText(const std::string& draw)
{
    return draw + ",007,0000500,0000000,0012345,9999999,0000001,0012,0000001,0000022,0000333,0004444";
}

std::string twoDraws()
{
    return HistoryBuilder().draw(40, "123", 10000, 2000, 500).draw(41, "456", 90000, 15000, 4000).bytes();
}

template <typename Error> std::string messageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    ADD_FAILURE() << "no error of the expected kind";
    return {};
}

}  // namespace

// ---- the record written -------------------------------------------------------------------

TEST(HistoryAppender, AppendsTheNextDrawByteExactAndEndsTheFileWithOneEndMarker)
{
    TempDir dir;
    const std::string before = twoDraws();
    const fs::path path = dir.write("Numbers.dat", before);

    const std::string text = HistoryAppender(path).append(sampleDraw());

    EXPECT_EQ(text, sampleText("0042"));
    EXPECT_EQ(dir.read("Numbers.dat"), before + sampleText("0042") + "\r\n\x1A");
}

TEST(HistoryAppender, OverwritesTheEndMarkerSoTheFileNeverHoldsTwo)
{
    TempDir dir;
    const std::string records = twoDraws();
    const fs::path path = dir.write("Numbers.dat", records + "\x1A");

    HistoryAppender(path).append(sampleDraw());
    EXPECT_EQ(dir.read("Numbers.dat"), records + sampleText("0042") + "\r\n\x1A");

    HistoryAppender(path).append(sampleDraw());
    const std::string after = dir.read("Numbers.dat");
    EXPECT_EQ(after, records + sampleText("0042") + "\r\n" + sampleText("0043") + "\r\n\x1A");
    EXPECT_EQ(std::count(after.begin(), after.end(), '\x1A'), 1);
    EXPECT_EQ(after.size(), 4 * tolvi::kRecordSize + 1);
}

TEST(HistoryAppender, DrawNumberGrowsToFourDigitsAndSmallValuesAreZeroPadded)
{
    TempDir dir;
    const fs::path path = dir.write("Numbers.dat", HistoryBuilder().draw(998, "000").draw(999, "999").bytes());
    HistoryAppender::Draw draw;  // everything 0: every field is all zeros
    EXPECT_EQ(HistoryAppender(path).append(draw),
              "1000,000,0000000,0000000,0000000,0000000,0000000,0000,0000000,0000000,0000000,0000000");
    EXPECT_EQ(tolvi::HistoryReader::lastDrawNumber(path), 1000);
}

TEST(HistoryAppender, NextDrawNumberIsTakenFromTheFileAtTheMomentOfWriting)
{
    TempDir dir;
    const fs::path path = dir.write("Numbers.dat", twoDraws());
    const HistoryAppender appender(path);
    appender.append(sampleDraw());
    // The file changes between two appends through the same appender.
    dir.write("Numbers.dat",
              dir.read("Numbers.dat").substr(0, 3 * tolvi::kRecordSize) + HistoryBuilder().draw(77, "111").bytes());
    EXPECT_EQ(appender.append(sampleDraw()).substr(0, 4), "0078");
}

TEST(HistoryAppender, CommentRecordsBeforeTheLastAreIgnored)
{
    TempDir dir;
    const fs::path path = dir.write("Numbers.dat", HistoryBuilder().comment().draw(5, "---").bytes());
    EXPECT_EQ(HistoryAppender(path).append(sampleDraw()), sampleText("0006"));
}

TEST(HistoryAppender, FormatRecordAcceptsTheWidestValuesAndRefusesWhatDoesNotFit)
{
    HistoryAppender::Draw widest;
    widest.numbers3 = 999;
    widest.numbers3Prizes.fill(9999999);
    widest.numbers4 = 9999;
    widest.numbers4Prizes.fill(9999999);
    const std::string text = HistoryAppender::formatRecord(9999, widest);
    EXPECT_EQ(text, "9999,999,9999999,9999999,9999999,9999999,9999999,9999,9999999,9999999,9999999,9999999");

    auto refused = [](std::int32_t drawNumber, HistoryAppender::Draw draw) {
        EXPECT_THROW(HistoryAppender::formatRecord(drawNumber, draw), tolvi::RefusedError);
    };
    refused(10000, HistoryAppender::Draw {});
    refused(-1, HistoryAppender::Draw {});
    HistoryAppender::Draw bad = widest;
    bad.numbers3 = 1000;
    refused(1, bad);
    bad = widest;
    bad.numbers4 = 10000;
    refused(1, bad);
    bad = widest;
    bad.numbers3Prizes[4] = 10000000;
    refused(1, bad);
    bad = widest;
    bad.numbers4Prizes[0] = -1;
    refused(1, bad);
}

// ---- refusals and failures write nothing --------------------------------------------------

TEST(HistoryAppender, RefusesAFileWhoseLengthBreaksTheRecordLayout)
{
    const std::string records = twoDraws();
    const std::string damaged[] = {
        records + "X",                          // one stray byte that is not 0x1A
        records + "\r\n",                       // two stray bytes
        records + "0042,007,00\x1A",            // a cut-off record followed by 0x1A
        records + "\x1A\x1A",                   // two end markers
        records.substr(0, records.size() - 1),  // the last record's LF missing
    };
    for (const std::string& content : damaged) {
        TempDir dir;
        const fs::path path = dir.write("Numbers.dat", content);
        const std::string message = messageOf<tolvi::RefusedError>([&] { HistoryAppender(path).append(sampleDraw()); });
        EXPECT_NE(message.find("壊れています"), std::string::npos) << message;
        EXPECT_EQ(dir.read("Numbers.dat"), content);
    }
}

TEST(HistoryAppender, RefusesALastRecordCutOffByTheEndMarker)
{
    // 86 bytes of a record and 0x1A: the length is a whole number of records, but writing over
    // the 0x1A would put the new record one byte early.
    TempDir dir;
    std::string content = twoDraws();
    content.back() = '\x1A';
    const fs::path path = dir.write("Numbers.dat", content);
    EXPECT_THROW(HistoryAppender(path).append(sampleDraw()), tolvi::RefusedError);
    EXPECT_EQ(dir.read("Numbers.dat"), content);
}

TEST(HistoryAppender, RefusesADrawNumberBeyondFourDigits)
{
    for (const bool marker : {false, true}) {
        TempDir dir;
        HistoryBuilder builder;
        builder.draw(9998, "123").draw(9999, "456");
        if (marker)
            builder.endOfFile();
        const fs::path path = dir.write("Numbers.dat", builder.bytes());
        const std::string message = messageOf<tolvi::RefusedError>([&] { HistoryAppender(path).append(sampleDraw()); });
        EXPECT_NE(message.find("10000"), std::string::npos) << message;
        EXPECT_EQ(dir.read("Numbers.dat"), builder.bytes());
    }
}

TEST(HistoryAppender, RefusesValuesThatDoNotFitBeforeTouchingTheFile)
{
    TempDir dir;
    const fs::path path = dir.write("Numbers.dat", twoDraws());
    HistoryAppender::Draw draw = sampleDraw();
    draw.numbers3Prizes[0] = 12345678;
    EXPECT_THROW(HistoryAppender(path).append(draw), tolvi::RefusedError);
    EXPECT_EQ(dir.read("Numbers.dat"), twoDraws());
}

TEST(HistoryAppender, MissingOrEmptyFileIsAnIoErrorAndNothingIsCreated)
{
    TempDir dir;
    EXPECT_THROW(HistoryAppender(dir.file("Numbers.dat")).append(sampleDraw()), tolvi::IoError);
    EXPECT_FALSE(fs::exists(dir.file("Numbers.dat")));

    for (const std::string& content : {std::string(), std::string("\x1A"), std::string(50, '0')}) {
        const fs::path path = dir.write("Numbers.dat", content);
        EXPECT_THROW(HistoryAppender(path).append(sampleDraw()), tolvi::IoError);
        EXPECT_EQ(dir.read("Numbers.dat"), content);
    }
}

TEST(HistoryAppender, LastRecordThatIsNoDrawIsAConversionError)
{
    TempDir dir;
    const std::string contents[] = {
        HistoryBuilder().draw(5, "123").comment().bytes(),
        HistoryBuilder().draw(5, "123").comment().endOfFile().bytes(),
        HistoryBuilder().draw(5, "123").bytes() + "ab12" + HistoryBuilder().draw(6, "123").bytes().substr(4),
    };
    for (const std::string& content : contents) {
        const fs::path path = dir.write("Numbers.dat", content);
        EXPECT_THROW(HistoryAppender(path).append(sampleDraw()), tolvi::ConversionError);
        EXPECT_EQ(dir.read("Numbers.dat"), content);
    }
}

TEST(HistoryAppender, ReadOnlyFileIsAnIoError)
{
    TempDir dir;
    const fs::path path = dir.write("Numbers.dat", twoDraws());
    const tolvi::test::ImmutableFile guard(path);
    if (!guard.isSet())
        GTEST_SKIP() << "cannot make a file immutable here";
    if (const int fd = ::open(path.c_str(), O_RDWR); fd >= 0) {
        ::close(fd);
        GTEST_SKIP() << "an immutable file can still be opened for writing here";
    }
    EXPECT_THROW(HistoryAppender(path).append(sampleDraw()), tolvi::IoError);
    EXPECT_EQ(dir.read("Numbers.dat"), twoDraws());
}

// ---- a write that fails part-way ----------------------------------------------------------

TEST(HistoryAppender, WriteFailingAfterAnyNumberOfBytesLeavesTheFileAsItWas)
{
    for (const bool marker : {false, true}) {
        for (const std::size_t written :
             {std::size_t(0), std::size_t(1), std::size_t(40), std::size_t(87), std::size_t(88)}) {
            TempDir dir;
            const std::string before = twoDraws() + (marker ? "\x1A" : "");
            const fs::path path = dir.write("Numbers.dat", before);
            const HistoryAppender appender(path, [&](HistoryFile& file, std::int64_t offset, std::string_view bytes) {
                file.writeAt(offset, bytes.substr(0, written));
                throw tolvi::IoError("ディスクの空き容量が足りません");
            });
            EXPECT_THROW(appender.append(sampleDraw()), tolvi::IoError) << written;
            EXPECT_EQ(dir.read("Numbers.dat"), before) << "marker " << marker << ", " << written << " bytes";
        }
    }
}

TEST(HistoryAppender, FailureOfAnyKindInTheWriterIsUndoneAndPassedOn)
{
    TempDir dir;
    const std::string before = twoDraws() + "\x1A";
    const fs::path path = dir.write("Numbers.dat", before);
    struct Interrupted { };
    const HistoryAppender appender(path, [](HistoryFile& file, std::int64_t offset, std::string_view bytes) {
        file.writeAt(offset, bytes.substr(0, 30));
        throw Interrupted {};
    });
    EXPECT_THROW(appender.append(sampleDraw()), Interrupted);
    EXPECT_EQ(dir.read("Numbers.dat"), before);
    // The file is fit for the next append.
    HistoryAppender(path).append(sampleDraw());
    EXPECT_EQ(dir.read("Numbers.dat"), twoDraws() + sampleText("0042") + "\r\n\x1A");
}

TEST(HistoryAppender, FullDiskLeavesTheFileAsItWas)
{
    for (const bool marker : {false, true}) {
        TempDir dir;
        const tolvi::test::SmallTmpfs disk(dir.file("disk"), "size=64k,mode=0755");
        if (!disk.isMounted())
            GTEST_SKIP() << "cannot mount a tmpfs here";

        // 47 records are 4089 bytes: the new record has to cross into a second page.
        HistoryBuilder builder;
        for (int draw = 1; draw <= 47; ++draw)
            builder.draw(draw, "123");
        if (marker)
            builder.endOfFile();
        const fs::path path = dir.file("disk") / "Numbers.dat";
        dir.write("disk/Numbers.dat", builder.bytes());
        ASSERT_TRUE(disk.fillUp());

        const std::string message = messageOf<tolvi::IoError>([&] { HistoryAppender(path).append(sampleDraw()); });
        EXPECT_NE(message.find("空き容量"), std::string::npos) << message;
        EXPECT_EQ(tolvi::test::readFileBytes(path), builder.bytes());

        disk.makeRoom();
        HistoryAppender(path).append(sampleDraw());
        std::string expected = builder.bytes();
        if (marker)
            expected.pop_back();
        EXPECT_EQ(tolvi::test::readFileBytes(path), expected + sampleText("0048") + "\r\n\x1A");
    }
}

// ---- two programs appending at once -------------------------------------------------------

TEST(HistoryAppender, HoldsAnExclusiveLockWhileWritingButReadersAreNotStopped)
{
    TempDir dir;
    const fs::path path = dir.write("Numbers.dat", twoDraws());
    bool checked = false;
    const HistoryAppender appender(path, [&](HistoryFile& file, std::int64_t offset, std::string_view bytes) {
        const int other = ::open(path.c_str(), O_RDONLY);
        ASSERT_GE(other, 0);
        EXPECT_NE(::flock(other, LOCK_EX | LOCK_NB), 0);
        EXPECT_EQ(errno, EWOULDBLOCK);
        ::close(other);
        EXPECT_EQ(tolvi::test::readRecords(path).size(), 2u);
        EXPECT_EQ(tolvi::HistoryReader::lastDrawNumber(path), 41);
        checked = true;
        file.writeAt(offset, bytes);
    });
    appender.append(sampleDraw());
    EXPECT_TRUE(checked);

    // Released afterwards.
    const int other = ::open(path.c_str(), O_RDONLY);
    ASSERT_GE(other, 0);
    EXPECT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    ::close(other);
}

TEST(HistoryAppender, TwoProcessesAppendingAtOnceStoreEveryDrawNumberOnce)
{
    TempDir dir;
    const fs::path path = dir.write("Numbers.dat", HistoryBuilder().draw(1, "000").endOfFile().bytes());
    constexpr int kPerProcess = 300;

    std::vector<pid_t> children;
    for (int child = 0; child < 2; ++child) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int status = 0;
            try {
                HistoryAppender::Draw draw = sampleDraw();
                draw.numbers3 = child;  // tells the writers apart
                for (int i = 0; i < kPerProcess; ++i)
                    HistoryAppender(path).append(draw);
            } catch (...) {
                status = 1;
            }
            ::_exit(status);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    const std::string content = tolvi::test::readFileBytes(path);
    const std::size_t records = 1 + 2 * kPerProcess;
    ASSERT_EQ(content.size(), records * tolvi::kRecordSize + 1);
    EXPECT_EQ(std::count(content.begin(), content.end(), '\x1A'), 1);
    EXPECT_EQ(content.back(), '\x1A');
    std::set<int> writers;
    for (std::size_t k = 0; k < records; ++k) {
        const tolvi::DrawRecord record(content.substr(k * tolvi::kRecordSize, tolvi::kRecordSize));
        ASSERT_EQ(record.drawNumber(), int(k) + 1) << "record " << k;
        ASSERT_EQ(record.text().substr(85), "\r\n") << "record " << k;
        if (k > 0)
            writers.insert(std::stoi(std::string(record.winningNumber())));
    }
    EXPECT_EQ(writers, (std::set<int> {0, 1}));
}

// ---- names that are not a plain history file ----------------------------------------------

TEST(HistoryAppender, RefusesADanglingLinkOrAFifoAtOnceAndWritesThroughALinkToAFile)
{
    TempDir dir;
    fs::create_symlink("elsewhere/Numbers.dat", dir.file("Numbers.dat"));
    const std::string message = messageOf<tolvi::IoError>([&] {
        HistoryAppender(dir.file("Numbers.dat"))
            .appendPlanned([](std::string_view) { return std::vector<std::string> {sampleText("0001")}; }, true);
    });
    EXPECT_NE(message.find("elsewhere/Numbers.dat"), std::string::npos) << message;
    fs::remove(dir.file("Numbers.dat"));

    ASSERT_EQ(::mkfifo(dir.file("Numbers.dat").c_str(), 0600), 0);
    EXPECT_THROW(HistoryAppender(dir.file("Numbers.dat")).append(sampleDraw()), tolvi::IoError);
    fs::remove(dir.file("Numbers.dat"));

    // Through a link the file it points to is replaced and the link stays; a temporary file
    // left by a killed writer (nobody holds its lock) goes with the next write.
    dir.write("real.dat", twoDraws());
    dir.write("real.dat.new-99999-0", "left behind");
    fs::create_symlink("real.dat", dir.file("Numbers.dat"));
    HistoryAppender(dir.file("Numbers.dat")).append(sampleDraw());
    EXPECT_TRUE(fs::is_symlink(dir.file("Numbers.dat")));
    EXPECT_EQ(dir.read("real.dat"), twoDraws() + sampleText("0042") + "\r\n\x1A");
    EXPECT_FALSE(fs::exists(dir.file("real.dat.new-99999-0")));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3);  // and backups/
}
