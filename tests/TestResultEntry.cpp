#include "base/Errors.h"
#include "entry/ResultEntry.h"
#include "history/HistoryFile.h"

#include "support/HistoryBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <stdexcept>

using tolvi::EntryFields;
using tolvi::kNumbers3Message;
using tolvi::kNumbers4Message;
using tolvi::kPrizeMessage;
using tolvi::validateEntry;
using tolvi::test::HistoryBuilder;
using tolvi::test::TempDir;

namespace {

EntryFields fieldsOf(std::initializer_list<const char*> texts)
{
    EntryFields fields;
    std::size_t i = 0;
    for (const char* text : texts)
        fields[i++] = text;
    return fields;
}

// A complete, valid entry: Numbers3 012 and its prizes, Numbers4 0345 and its prizes.
EntryFields validFields()
{
    return fieldsOf({"012", "90000", "15000", "52500", "7500", "4000", "0345", "1000000", "41600", "520800", "20800"});
}

// The message shown for `fields`, or "" when the entry is accepted.
std::string verdict(const EntryFields& fields)
{
    return validateEntry(fields).value_or("");
}

constexpr std::size_t kPrizeIndexes[] = {1, 2, 3, 4, 5, 7, 8, 9, 10};

}  // namespace

TEST(ResultEntry, PanelTitleRightAlignsTheDrawNumberInFourCharacters)
{
    EXPECT_EQ(tolvi::entryPanelTitle(999), "第 999回　結果データの入力");
    EXPECT_EQ(tolvi::entryPanelTitle(1235), "第1235回　結果データの入力");
    EXPECT_EQ(tolvi::entryPanelTitle(7), "第   7回　結果データの入力");
}

TEST(EntryField, NamesTheEditAtItsTabPositionAndAnUnknownFieldThrows)
{
    using tolvi::EntryField;
    EntryFields fields = validFields();
    EXPECT_EQ(fields[EntryField::Num3Edit5], "4000");
    EXPECT_EQ(fields[EntryField::Num4Edit], "0345");
    EXPECT_EQ(tolvi::entryEditName(EntryField::Num4Edit4), "Num4Edit4");
    EXPECT_EQ(tolvi::entryFieldAt(7), EntryField::Num4Edit1);
    EXPECT_THROW(fields[EntryField(11)], std::out_of_range);
    EXPECT_THROW(tolvi::entryEditName(EntryField(200)), std::out_of_range);
    EXPECT_THROW(tolvi::entryFieldAt(11), std::out_of_range);
}

TEST(ResultEntry, CheckNumEditDataFlagsAnyByteThatIsNotADigit)
{
    EXPECT_FALSE(tolvi::checkNumEditData(""));
    EXPECT_FALSE(tolvi::checkNumEditData("0"));
    EXPECT_FALSE(tolvi::checkNumEditData("0123456789"));
    for (const char* text : {"1,000", "1.5", " 5", "5 ", "-5", "+5", "a", "５", "\x82\x54", "12/", "12:"})
        EXPECT_TRUE(tolvi::checkNumEditData(text)) << text;
}

TEST(ResultEntry, ValidEntryIsAccepted)
{
    EXPECT_EQ(verdict(validFields()), "");
    EntryFields zeros = fieldsOf({"000", "0", "0", "0", "0", "0", "0000", "0", "0", "0", "0"});
    EXPECT_EQ(verdict(zeros), "");
    EntryFields widest = validFields();
    for (const std::size_t i : kPrizeIndexes)
        widest[i] = "9999999";
    EXPECT_EQ(verdict(widest), "");
}

TEST(ResultEntry, ChecksRunInOrderAndOnlyTheFirstFailureIsReported)
{
    const EntryFields allWrong = fieldsOf({"12", "", "1,0", "x", "", "", "123", "", "", "", ""});
    EXPECT_EQ(verdict(allWrong), kNumbers3Message);

    EntryFields numbers4AndPrizesWrong = allWrong;
    numbers4AndPrizesWrong[0] = "123";
    EXPECT_EQ(verdict(numbers4AndPrizesWrong), kNumbers4Message);

    EntryFields prizesWrong = numbers4AndPrizesWrong;
    prizesWrong[6] = "1234";
    EXPECT_EQ(verdict(prizesWrong), kPrizeMessage);
}

TEST(ResultEntry, Numbers3MustBeExactlyThreeDigitBytes)
{
    for (const char* text : {"12", "1234", "", "12a", " 12", "-12", "1.2", "１", "ｱｲｳ", "ａｂｃ", "１２３４"}) {
        EntryFields fields = validFields();
        fields[0] = text;
        EXPECT_EQ(verdict(fields), kNumbers3Message) << text;
    }
    // Full-width digits, as a Japanese input method types them, are digits.
    for (const char* text : {"012", "000", "999", "１２３", "0１2"}) {
        EntryFields fields = validFields();
        fields[0] = text;
        EXPECT_EQ(verdict(fields), "") << text;
    }
}

TEST(ResultEntry, Numbers4MustBeExactlyFourDigitBytes)
{
    for (const char* text : {"123", "12345", "", "12a4", "１２", "１２３４５", "12.4"}) {
        EntryFields fields = validFields();
        fields[6] = text;
        EXPECT_EQ(verdict(fields), kNumbers4Message) << text;
    }
}

TEST(ResultEntry, EveryPrizeFieldRefusesEmptyNonDigitAndOverlongTexts)
{
    // More than seven digits cannot be typed into the edits, but can come from a results page.
    for (const std::size_t i : kPrizeIndexes) {
        for (const char* text : {"", "1,000", "1.5", "-5", "+5", " 5", "５００円", "１２３４５６７８", "00000000"}) {
            EntryFields fields = validFields();
            fields[i] = text;
            EXPECT_EQ(verdict(fields), kPrizeMessage) << "field " << i << ": '" << text << "'";
            EXPECT_EQ(tolvi::findRefusal(fields)->field, tolvi::entryFieldAt(i))
                << "the field at fault, for the window to select";
        }
    }
}

TEST(ResultEntry, AppendEntryStoresTheIntegerValuesOfTheFields)
{
    TempDir dir;
    const std::string before = HistoryBuilder().draw(1234, "555").draw(1235, "666").endOfFile().bytes();
    const auto path = dir.write("Numbers.dat", before);
    EntryFields fields = fieldsOf({"０１２", "500", "0", "0000500", "9999999", "７", "0012", "1", "22", "333", "4444"});

    const std::string text = tolvi::appendEntry(path, fields);

    const std::string expected =
        "1236,012,0000500,0000000,0000500,9999999,0000007,0012,0000001,0000022,0000333,0004444";
    EXPECT_EQ(text, expected);
    EXPECT_EQ(dir.read("Numbers.dat"), before.substr(0, before.size() - 1) + expected + "\r\n\x1A");
}

TEST(ResultEntry, RefusedEntryRaisesItsMessageAndWritesNothing)
{
    TempDir dir;
    const std::string before = HistoryBuilder().draw(41, "123").bytes();
    const auto path = dir.write("Numbers.dat", before);
    const std::pair<std::size_t, const char*> cases[] = {
        {0, kNumbers3Message}, {6, kNumbers4Message}, {5, kPrizeMessage}, {10, kPrizeMessage}};
    for (const auto& [field, message] : cases) {
        EntryFields fields = validFields();
        fields[field] = "1,5";
        try {
            tolvi::appendEntry(path, fields);
            ADD_FAILURE() << "accepted field " << field;
        } catch (const tolvi::RefusedError& e) {
            EXPECT_STREQ(e.what(), message);
        }
        EXPECT_EQ(dir.read("Numbers.dat"), before);
    }
}

TEST(ResultEntry, ValidationComesBeforeAnyFileAccess)
{
    // A refused entry is refused even when there is no history file at all.
    TempDir dir;
    EntryFields fields = validFields();
    fields[0] = "12";
    EXPECT_THROW(tolvi::appendEntry(dir.file("Numbers.dat"), fields), tolvi::RefusedError);
    EXPECT_THROW(tolvi::appendEntry(dir.file("Numbers.dat"), validFields()), tolvi::IoError);
}
