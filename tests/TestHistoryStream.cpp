// The history read in blocks through a small buffer gives exactly the records of the whole read,
// whatever the length of the file and wherever the buffer's refills fall.

#include "base/Errors.h"
#include "history/HistoryReader.h"
#include "history/HistoryStream.h"
#include "support/HistoryRecords.h"
#include "support/RandomHistory.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace tolvi;
using tolvi::test::TempDir;

namespace {

std::vector<std::string> streamedBlocks(const std::filesystem::path& path)
{
    HistoryStream stream(path);
    std::vector<std::string> blocks;
    std::string_view block;
    while (stream.next(block))
        blocks.emplace_back(block);
    EXPECT_FALSE(stream.next(block));  // stays at the end
    return blocks;
}

std::vector<std::string> wholeReadBlocks(const std::string& bytes)
{
    std::vector<std::string> blocks;
    for (std::size_t offset = 0; offset + kRecordSize <= bytes.size(); offset += kRecordSize)
        blocks.push_back(bytes.substr(offset, kRecordSize));
    return blocks;
}

}  // namespace

TEST(HistoryStream, GivesTheFullBlocksOfTheWholeReadAtEveryLength)
{
    TempDir dir;
    tolvi::test::RandomHistoryOptions options;
    options.records = 2300;  // three refills of the buffer
    options.commentShare = 0.05;
    const std::string history = tolvi::test::randomHistory(options);
    // Around the empty file, one record, and the buffer's edges (752 blocks), with and without
    // the end-of-file byte or a cut-off last record.
    for (const std::size_t records : {0u, 1u, 2u, 751u, 752u, 753u, 1504u, 1505u, 2300u}) {
        for (const std::size_t extra : {0u, 1u, 86u}) {
            std::string bytes = history.substr(0, records * kRecordSize);
            bytes += history.substr(records * kRecordSize, extra);
            if (extra == 1)
                bytes.back() = kEndOfFileByte;
            const auto path = dir.write("Numbers.dat", bytes);
            const std::vector<std::string> blocks = streamedBlocks(path);
            ASSERT_EQ(blocks, wholeReadBlocks(bytes)) << records << " records + " << extra;
            ASSERT_EQ(blocks.size(), test::readRecords(path).size());
        }
    }
}

TEST(HistoryStream, NulBytesStayInTheBlock)
{
    TempDir dir;
    std::string bytes(3 * kRecordSize, 'x');
    bytes[kRecordSize + 5] = '\0';
    const std::vector<std::string> blocks = streamedBlocks(dir.write("Numbers.dat", bytes));
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[1], bytes.substr(kRecordSize, kRecordSize));
}

TEST(HistoryStream, MissingFileIsAnInputOutputError)
{
    TempDir dir;
    EXPECT_THROW(HistoryStream(dir.file("Numbers.dat")), IoError);
    EXPECT_THROW(HistoryStream(dir.path()), IoError);
}
