// The profile file reader and writer: how names are matched, what counts as a value, and that an
// edit changes nothing but the one value, line or section it writes.

#include "settings/IniFile.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using tolvi::IniFile;

namespace {

std::optional<std::string> mismatchOf(const std::string& bytes)
{
    return IniFile(bytes).value("Option", "Mismatch");
}

std::string afterSetting(const std::string& bytes, const std::string& value)
{
    IniFile ini(bytes);
    ini.setValue("Option", "Mismatch", value);
    return ini.bytes();
}

}  // namespace

TEST(IniFileRead, FindsTheKeyOfTheSection)
{
    EXPECT_EQ(mismatchOf("[Option]\r\nMismatch=0\r\n"), "0");
    EXPECT_EQ(mismatchOf("[Window]\r\nLeft=3\r\n[Option]\r\nOther=5\r\nMismatch=7\r\n"), "7");
}

TEST(IniFileRead, MissingFileSectionOrKeyGiveNothing)
{
    EXPECT_EQ(mismatchOf(""), std::nullopt);
    EXPECT_EQ(mismatchOf("[Window]\r\nMismatch=0\r\n"), std::nullopt);
    EXPECT_EQ(mismatchOf("[Option]\r\nMismatches=0\r\nMis=0\r\n"), std::nullopt);
}

TEST(IniFileRead, KeyOfAnotherSectionOrBeforeAnySectionIsNotTaken)
{
    EXPECT_EQ(mismatchOf("Mismatch=0\r\n[Option]\r\n"), std::nullopt);
    EXPECT_EQ(mismatchOf("[Option]\r\nA=1\r\n[Options]\r\nMismatch=0\r\n"), std::nullopt);
    EXPECT_EQ(mismatchOf("[Other]\r\nMismatch=0\r\n[Option]\r\nMismatch=1\r\n"), "1");
}

TEST(IniFileRead, NamesMatchWithoutRegardToCase)
{
    EXPECT_EQ(mismatchOf("[OPTION]\r\nmismatch=0\r\n"), "0");
    EXPECT_EQ(mismatchOf("[option]\r\nMISMATCH=0\r\n"), "0");
    EXPECT_EQ(mismatchOf("[oPtIoN]\r\nmIsMaTcH=0\r\n"), "0");
}

TEST(IniFileRead, BlanksAroundNamesAndValuesAreNotPartOfThem)
{
    EXPECT_EQ(mismatchOf("  [ Option ]  \r\n \t Mismatch \t=  0 \t \r\n"), "0");
    EXPECT_EQ(mismatchOf("[Option]\r\nMismatch=\r\n"), "");
    EXPECT_EQ(mismatchOf("[Option]\r\nMismatch=   \r\n"), "");
    // Blanks inside a value stay.
    EXPECT_EQ(mismatchOf("[Option]\r\nMismatch= 1 2 \r\n"), "1 2");
}

TEST(IniFileRead, MatchingQuotesAroundAValueAreDropped)
{
    EXPECT_EQ(mismatchOf("[Option]\r\nMismatch=\"0\"\r\n"), "0");
    EXPECT_EQ(mismatchOf("[Option]\r\nMismatch='0'\r\n"), "0");
    EXPECT_EQ(mismatchOf("[Option]\r\nMismatch=\"0'\r\n"), "\"0'");
    EXPECT_EQ(mismatchOf("[Option]\r\nMismatch=\"\r\n"), "\"");
}

TEST(IniFileRead, TheFirstSectionAndTheFirstKeyWin)
{
    EXPECT_EQ(mismatchOf("[Option]\r\nMismatch=0\r\nMismatch=1\r\n"), "0");
    EXPECT_EQ(mismatchOf("[Option]\r\nMismatch=0\r\n[Option]\r\nMismatch=1\r\n"), "0");
    // A later section of the same name is not looked at, even when the first lacks the key.
    EXPECT_EQ(mismatchOf("[Option]\r\nOther=1\r\n[Option]\r\nMismatch=1\r\n"), std::nullopt);
}

TEST(IniFileRead, CommentsAreNeitherKeysNorSections)
{
    EXPECT_EQ(mismatchOf("[Option]\r\n;Mismatch=0\r\n"), std::nullopt);
    EXPECT_EQ(mismatchOf("[Option]\r\n  ; Mismatch=0\r\nMismatch=5\r\n"), "5");
    EXPECT_EQ(mismatchOf(";[Option]\r\nMismatch=0\r\n"), std::nullopt);
    // A ";" inside a value is part of the value: the profile format has no trailing comments.
    EXPECT_EQ(mismatchOf("[Option]\r\nMismatch=0 ; off\r\n"), "0 ; off");
}

TEST(IniFileRead, LineEndsAndByteOrderMark)
{
    EXPECT_EQ(mismatchOf("[Option]\nMismatch=0\n"), "0");
    EXPECT_EQ(mismatchOf("[Option]\r\nMismatch=0"), "0");
    EXPECT_EQ(mismatchOf("[Option]\nMismatch=0\r"), "0");
    EXPECT_EQ(mismatchOf("\xEF\xBB\xBF[Option]\r\nMismatch=0\r\n"), "0");
    // A lone CR does not end a line, so this is one line, the section header.
    EXPECT_EQ(mismatchOf("[Option]\rMismatch=0\r"), std::nullopt);
}

TEST(IniFileRead, OddLines)
{
    // A key line without "=" is a key with an empty value.
    EXPECT_EQ(mismatchOf("[Option]\r\nMismatch\r\n"), "");
    // A "[" without "]" is no section header: the key after it still belongs to "Option".
    EXPECT_EQ(mismatchOf("[Option]\r\n[Broken\r\nMismatch=0\r\n"), "0");
    // Only the first "=" separates key and value.
    EXPECT_EQ(mismatchOf("[Option]\r\nMismatch==0\r\n"), "=0");
    EXPECT_EQ(IniFile("[Option]\r\nA=B=C\r\n").value("Option", "A"), "B=C");
    // Bytes that are not ASCII pass through untouched.
    EXPECT_EQ(IniFile("[\x83\x49\x83\x76]\r\nK=\x88\xea\r\n").value("\x83\x49\x83\x76", "K"), "\x88\xea");
}

TEST(IniFileWrite, AnEmptyFileGetsTheSectionAndTheKeyWithCrLf)
{
    EXPECT_EQ(afterSetting("", "1"), "[Option]\r\nMismatch=1\r\n");
    EXPECT_EQ(afterSetting("", "0"), "[Option]\r\nMismatch=0\r\n");
}

TEST(IniFileWrite, AnExistingValueIsReplacedAndNothingElse)
{
    EXPECT_EQ(afterSetting("[Option]\r\nMismatch=0\r\n", "1"), "[Option]\r\nMismatch=1\r\n");
    EXPECT_EQ(afterSetting("[Option]\r\nMismatch=1\r\n", "1"), "[Option]\r\nMismatch=1\r\n");
    EXPECT_EQ(afterSetting("  [ option ]\r\n  mismatch \t=  256  \r\n", "0"),
              "  [ option ]\r\n  mismatch \t=  0  \r\n");
    EXPECT_EQ(afterSetting("[Option]\r\nMismatch=\r\n", "0"), "[Option]\r\nMismatch=0\r\n");
    EXPECT_EQ(afterSetting("[Option]\r\nMismatch=\"1\"\r\n", "0"), "[Option]\r\nMismatch=0\r\n");
    EXPECT_EQ(afterSetting("[Option]\r\nMismatch\r\n", "0"), "[Option]\r\nMismatch=0\r\n");
    EXPECT_EQ(afterSetting("[Option]\r\nMismatch=1", "0"), "[Option]\r\nMismatch=0");
}

TEST(IniFileWrite, EverythingAroundTheValueStaysByteForByte)
{
    const std::string before = "; written by hand\r\n"
                               "\r\n"
                               "[Window]\r\n"
                               "Left = 10\r\n"
                               "Mismatch=0\r\n"
                               "\r\n"
                               "[Option]\r\n"
                               "; the one-digit-off rows\r\n"
                               "Colour=red\r\n"
                               "Mismatch=1\r\n"
                               "Zoom=2\r\n"
                               "\r\n"
                               "[Last]\r\n"
                               "X=\x82\xa0\r\n";
    std::string expected = before;
    expected.replace(expected.find("Mismatch=1") + 9, 1, "0");
    EXPECT_EQ(afterSetting(before, "0"), expected);
}

TEST(IniFileWrite, AMissingKeyIsAddedAfterTheSectionsLastEntry)
{
    EXPECT_EQ(afterSetting("[Option]\r\nA=1\r\n\r\n[Next]\r\nB=2\r\n", "1"),
              "[Option]\r\nA=1\r\nMismatch=1\r\n\r\n[Next]\r\nB=2\r\n");
    // A comment after the section's entries may introduce the next section: it stays below.
    EXPECT_EQ(afterSetting("[Option]\r\nA=1\r\n; about Next\r\n[Next]\r\n", "0"),
              "[Option]\r\nA=1\r\nMismatch=0\r\n; about Next\r\n[Next]\r\n");
    EXPECT_EQ(afterSetting("[Option]\r\n\r\n[Next]\r\n", "0"), "[Option]\r\nMismatch=0\r\n\r\n[Next]\r\n");
    EXPECT_EQ(afterSetting("[Option]\r\n", "1"), "[Option]\r\nMismatch=1\r\n");
    // The same happens to the key that lives only in another section.
    EXPECT_EQ(afterSetting("[Other]\r\nMismatch=0\r\n[Option]\r\n", "1"),
              "[Other]\r\nMismatch=0\r\n[Option]\r\nMismatch=1\r\n");
}

TEST(IniFileWrite, AnUnterminatedLastLineIsEndedBeforeANewLine)
{
    EXPECT_EQ(afterSetting("[Option]", "1"), "[Option]\r\nMismatch=1\r\n");
    EXPECT_EQ(afterSetting("[Option]\r\nA=1", "1"), "[Option]\r\nA=1\r\nMismatch=1\r\n");
    EXPECT_EQ(afterSetting("[Other]\r\nA=1", "1"), "[Other]\r\nA=1\r\n[Option]\r\nMismatch=1\r\n");
    EXPECT_EQ(afterSetting("; note", "0"), "; note\r\n[Option]\r\nMismatch=0\r\n");
}

TEST(IniFileWrite, AMissingSectionIsAppendedAtTheEnd)
{
    EXPECT_EQ(afterSetting("[Other]\r\nA=1\r\n\r\n", "0"), "[Other]\r\nA=1\r\n\r\n[Option]\r\nMismatch=0\r\n");
    EXPECT_EQ(afterSetting("Mismatch=0\r\n", "1"), "Mismatch=0\r\n[Option]\r\nMismatch=1\r\n");
}

TEST(IniFileWrite, NewLinesEndLikeTheFilesLines)
{
    EXPECT_EQ(afterSetting("[Other]\nA=1\n", "1"), "[Other]\nA=1\n[Option]\nMismatch=1\n");
    EXPECT_EQ(afterSetting("[Option]\nA=1\n", "0"), "[Option]\nA=1\nMismatch=0\n");
    EXPECT_EQ(afterSetting("[Option]\nA=1", "0"), "[Option]\nA=1\nMismatch=0\n");
    // The first line end decides for a file that mixes them.
    EXPECT_EQ(afterSetting("[Other]\r\nA=1\n", "0"), "[Other]\r\nA=1\n[Option]\r\nMismatch=0\r\n");
    EXPECT_EQ(IniFile("").lineEnd(), "\r\n");
    EXPECT_EQ(IniFile("\n").lineEnd(), "\n");
}

TEST(IniFileWrite, AByteOrderMarkStaysFirst)
{
    EXPECT_EQ(afterSetting("\xEF\xBB\xBF", "1"), "\xEF\xBB\xBF[Option]\r\nMismatch=1\r\n");
    EXPECT_EQ(afterSetting("\xEF\xBB\xBF[Option]\r\nMismatch=0\r\n", "1"), "\xEF\xBB\xBF[Option]\r\nMismatch=1\r\n");
}

TEST(IniFileWrite, WhatIsWrittenIsWhatIsReadBack)
{
    // Files where reading and writing could disagree about which line is "the" entry.
    const char* const files[] = {
        "",
        "[Option]\r\nMismatch=0\r\nMismatch=1\r\n",
        "[Option]\r\nOther=1\r\n[Option]\r\nMismatch=1\r\n",
        "[Other]\r\nMismatch=1\r\n",
        "[Option]\r\n;Mismatch=1\r\n",
        "[Option]\r\n[Broken\r\nMismatch=1\r\n",
        "[Option]\rMismatch=1\r",
        "Mismatch=1\n[option]\nMISMATCH = 1",
        "\xEF\xBB\xBF",
    };
    for (const char* file : files) {
        for (const char* value : {"0", "1"}) {
            IniFile ini(file);
            ini.setValue("Option", "Mismatch", value);
            EXPECT_EQ(ini.value("Option", "Mismatch"), value) << "file: " << file;
            // Writing the same value again changes nothing more.
            const std::string once = ini.bytes();
            ini.setValue("Option", "Mismatch", value);
            EXPECT_EQ(ini.bytes(), once) << "file: " << file;
        }
    }
}
