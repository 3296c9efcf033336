// The settings file beside the program: where it lies (or, where the program's folder cannot be
// written, in the user's configuration folder), how "Mismatch" is read back into the check box,
// what saving leaves on disk, and how a file that cannot be written is reported.

#include "base/Errors.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsLocation.h"
#include "support/FaultInjection.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <type_traits>
#include <unistd.h>
#include <vector>

using tolvi::IoError;
using tolvi::SettingsFile;
using tolvi::SettingsLocation;
using tolvi::test::readFileBytes;
using tolvi::test::TempDir;
namespace fs = std::filesystem;

namespace {

bool loadFrom(const std::string& content)
{
    TempDir dir;
    return SettingsFile::loadMismatch(dir.write("TolviNumbers3.ini", content));
}

bool loadValue(const std::string& value)
{
    return loadFrom("[Option]\r\nMismatch=" + value + "\r\n");
}

// The text of the IoError that saving to a file or a location raises, or "" when it raises none.
template <typename Place> std::string saveError(const Place& place, bool mismatch)
{
    try {
        if constexpr (std::is_same_v<Place, SettingsLocation>)
            place.saveMismatch(mismatch);
        else
            SettingsFile::saveMismatch(place, mismatch);
    } catch (const IoError& error) {
        return error.what();
    }
    return {};
}

std::string cannotWriteText(const fs::path& path)
{
    return path.string() + " に書き込めません。";
}

// Names in the folder other than those given: what a save may have left behind.
std::vector<std::string> strayFiles(const fs::path& dir, std::initializer_list<std::string> expected)
{
    std::vector<std::string> stray;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (std::find(expected.begin(), expected.end(), name) == expected.end())
            stray.push_back(name);
    }
    return stray;
}

// A folder that takes no new files while the guard lives: mode 0555, or for root, whom that does
// not bind, the immutable flag. made() is false where neither can be had.
struct ClosedFolder {
    explicit ClosedFolder(fs::path path) : folder(std::move(path))
    {
        fs::permissions(folder, fs::perms::owner_write, fs::perm_options::remove);
        if (::access(folder.c_str(), W_OK) == 0)
            immutable.emplace(folder);
    }
    ~ClosedFolder()
    {
        immutable.reset();
        fs::permissions(folder, fs::perms::owner_write, fs::perm_options::add);
    }
    bool made() const { return !immutable || immutable->isSet(); }

    fs::path folder;
    std::optional<tolvi::test::ImmutableFile> immutable;
};

}  // namespace

TEST(SettingsFilePath, ExtensionReplacedOrAdded)
{
    EXPECT_EQ(SettingsFile::pathForProgram("/x/TolviNumbers3"), fs::path("/x/TolviNumbers3.ini"));
    EXPECT_EQ(SettingsFile::pathForProgram("/x/TolviNumbersMini"), fs::path("/x/TolviNumbersMini.ini"));
    EXPECT_EQ(SettingsFile::pathForProgram("/x/a.exe"), fs::path("/x/a.ini"));
    EXPECT_EQ(SettingsFile::pathForProgram("/x/a.b.exe"), fs::path("/x/a.b.ini"));
    // A dot in a folder name is not the program's extension.
    EXPECT_EQ(SettingsFile::pathForProgram("/opt/tolvi-1.6c/bin.d/TolviNumbers3"),
              fs::path("/opt/tolvi-1.6c/bin.d/TolviNumbers3.ini"));
    EXPECT_EQ(SettingsFile::pathForProgram("/x/prog."), fs::path("/x/prog.ini"));
}

TEST(SettingsFileLoad, MissingOrUnreadableFilesGiveTicked)
{
    TempDir dir;
    EXPECT_TRUE(SettingsFile::loadMismatch(dir.file("TolviNumbers3.ini")));
    EXPECT_TRUE(SettingsFile::loadMismatch(dir.file("no-such-folder/TolviNumbers3.ini")));
    // A folder or a pipe in the file's place is no settings file; the pipe must not block.
    fs::create_directory(dir.file("Folder.ini"));
    EXPECT_TRUE(SettingsFile::loadMismatch(dir.file("Folder.ini")));
    ASSERT_EQ(::mkfifo(dir.file("Pipe.ini").c_str(), 0600), 0);
    EXPECT_TRUE(SettingsFile::loadMismatch(dir.file("Pipe.ini")));
    EXPECT_TRUE(loadFrom(""));
    EXPECT_TRUE(loadFrom("[Window]\r\nLeft=1\r\n"));
    EXPECT_TRUE(loadFrom("[Option]\r\nOther=0\r\n"));
    // A file beyond the size read is no settings file of this program's: not read, not replaced.
    const std::string large = "[Option]\r\nMismatch=0\r\n" + std::string(SettingsFile::kLargestFile, ';');
    EXPECT_TRUE(SettingsFile::loadMismatch(dir.write("TolviNumbers3.ini", large)));
    EXPECT_THROW(SettingsFile::saveMismatch(dir.file("TolviNumbers3.ini"), false), IoError);
    EXPECT_EQ(dir.read("TolviNumbers3.ini"), large);
}

TEST(SettingsFileLoad, ZeroUnticksAndOneTicks)
{
    EXPECT_FALSE(loadValue("0"));
    EXPECT_TRUE(loadValue("1"));
    EXPECT_FALSE(loadValue("  0  "));
    EXPECT_FALSE(loadValue("\"0\""));
    EXPECT_FALSE(loadValue("00"));
    EXPECT_FALSE(loadValue("+0"));
    EXPECT_FALSE(loadValue("-0"));
}

TEST(SettingsFileLoad, ValuesThatAreNotIntegersGiveTicked)
{
    EXPECT_TRUE(loadValue(""));
    EXPECT_TRUE(loadValue("abc"));
    EXPECT_TRUE(loadValue("off"));
    EXPECT_TRUE(loadValue("false"));
    // Only a whole integer counts: leading digits followed by anything else are not one.
    EXPECT_TRUE(loadValue("0abc"));
    EXPECT_TRUE(loadValue("0 ; off"));
    EXPECT_TRUE(loadValue("0.0"));
    EXPECT_TRUE(loadValue("0x0"));
    EXPECT_TRUE(loadValue("0 0"));
    EXPECT_TRUE(loadValue("-"));
    EXPECT_TRUE(loadValue("+-0"));
    EXPECT_TRUE(loadValue("\xef\xbc\x90"));  // a full-width zero
    // 4294967296 has its lowest eight bits zero but does not fit 32 bits, so it is no integer.
    EXPECT_TRUE(loadValue("4294967296"));
    EXPECT_TRUE(loadValue("-2147483649"));
}

TEST(SettingsFileLoad, OnlyTheLowestEightBitsCount)
{
    EXPECT_TRUE(loadValue("2"));
    EXPECT_TRUE(loadValue("255"));
    EXPECT_FALSE(loadValue("256"));
    EXPECT_TRUE(loadValue("257"));
    EXPECT_FALSE(loadValue("512"));
    EXPECT_FALSE(loadValue("65536"));
    EXPECT_TRUE(loadValue("2147483647"));
    // Negative values by their two's complement: -1 is ...11111111, -256 is ...00000000.
    EXPECT_TRUE(loadValue("-1"));
    EXPECT_FALSE(loadValue("-256"));
    EXPECT_TRUE(loadValue("-255"));
    EXPECT_FALSE(loadValue("-2147483648"));
}

TEST(SettingsFileLoad, NamesAndSections)
{
    EXPECT_FALSE(loadFrom("[option]\r\nMISMATCH=0\r\n"));
    EXPECT_FALSE(loadFrom("[Option]\nMismatch=0"));
    // The key in another section, or commented out, is not the setting.
    EXPECT_TRUE(loadFrom("[Window]\r\nMismatch=0\r\n[Option]\r\n"));
    EXPECT_TRUE(loadFrom("[Option]\r\n;Mismatch=0\r\n"));
    EXPECT_TRUE(loadFrom("Mismatch=0\r\n"));
    EXPECT_FALSE(loadFrom("[Window]\r\nMismatch=1\r\n[Option]\r\nMismatch=0\r\n"));
}

TEST(SettingsFileSave, FirstStartCreatesTheTwoLines)
{
    TempDir dir;
    const fs::path path = dir.file("TolviNumbers3.ini");
    EXPECT_TRUE(SettingsFile::loadMismatch(path));
    SettingsFile::saveMismatch(path, true);
    EXPECT_EQ(readFileBytes(path), "[Option]\r\nMismatch=1\r\n");
    SettingsFile::saveMismatch(path, false);
    EXPECT_EQ(readFileBytes(path), "[Option]\r\nMismatch=0\r\n");
    EXPECT_FALSE(SettingsFile::loadMismatch(path));
    EXPECT_TRUE(strayFiles(dir.path(), {"TolviNumbers3.ini"}).empty());
}

TEST(SettingsFileSave, TheKeyIsWrittenEvenWhenTheStateIsTheDefault)
{
    TempDir dir;
    const fs::path path = dir.write("TolviNumbers3.ini", "[Option]\r\n");
    SettingsFile::saveMismatch(path, true);
    EXPECT_EQ(readFileBytes(path), "[Option]\r\nMismatch=1\r\n");
}

TEST(SettingsFileSave, ValuesThatReadAsTickedOrNotAreWrittenAsOneOrZero)
{
    TempDir dir;
    const fs::path path = dir.write("TolviNumbers3.ini", "[Option]\r\nMismatch=256\r\n");
    ASSERT_FALSE(SettingsFile::loadMismatch(path));
    SettingsFile::saveMismatch(path, false);
    EXPECT_EQ(readFileBytes(path), "[Option]\r\nMismatch=0\r\n");
    dir.write("TolviNumbers3.ini", "[Option]\r\nMismatch=abc\r\n");
    SettingsFile::saveMismatch(path, true);
    EXPECT_EQ(readFileBytes(path), "[Option]\r\nMismatch=1\r\n");
}

TEST(SettingsFileSave, EverythingElseInTheFileStaysByteForByte)
{
    TempDir dir;
    const std::string before = "; Tolvi Numbers3\r\n"
                               "\r\n"
                               "[Window]\r\n"
                               "  Left = 120 \r\n"
                               "Mismatch=1\r\n"
                               "\r\n"
                               "[option]\r\n"
                               "; one-digit-off rows in the result list\r\n"
                               "MISMATCH = 1\r\n"
                               "Font=\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e\r\n"
                               "\r\n"
                               "[Option]\r\n"
                               "Mismatch=1\r\n";
    const fs::path path = dir.write("TolviNumbers3.ini", before);
    SettingsFile::saveMismatch(path, false);
    std::string expected = before;
    expected.replace(expected.find("MISMATCH = 1") + 11, 1, "0");
    EXPECT_EQ(readFileBytes(path), expected);
    EXPECT_FALSE(SettingsFile::loadMismatch(path));
}

TEST(SettingsFileSave, AFileWithoutTheSectionGetsItAppended)
{
    TempDir dir;
    const fs::path path = dir.write("TolviNumbersMini.ini", "[Window]\nMismatch=0\n");
    SettingsFile::saveMismatch(path, false);
    EXPECT_EQ(readFileBytes(path), "[Window]\nMismatch=0\n[Option]\nMismatch=0\n");
}

TEST(SettingsFileSave, PermissionsOfAnExistingFileAreKept)
{
    TempDir dir;
    const fs::path path = dir.write("TolviNumbers3.ini", "[Option]\r\nMismatch=1\r\n");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    SettingsFile::saveMismatch(path, false);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::mask,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(readFileBytes(path), "[Option]\r\nMismatch=0\r\n");
}

TEST(SettingsFileSave, ANewFileFollowsTheUmask)
{
    TempDir dir;
    const mode_t previous = ::umask(027);
    SettingsFile::saveMismatch(dir.file("TolviNumbers3.ini"), true);
    ::umask(previous);
    EXPECT_EQ(fs::status(dir.file("TolviNumbers3.ini")).permissions() & fs::perms::mask,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(SettingsFileSave, AFileReachedThroughALinkIsEditedWhereItLies)
{
    TempDir dir;
    const fs::path real = dir.write("real.ini", "[Other]\r\nA=1\r\n");
    const fs::path link = dir.file("TolviNumbers3.ini");
    fs::create_symlink(real, link);
    SettingsFile::saveMismatch(link, false);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readFileBytes(real), "[Other]\r\nA=1\r\n[Option]\r\nMismatch=0\r\n");
    EXPECT_FALSE(SettingsFile::loadMismatch(link));
}

TEST(SettingsFileSaveFailure, MissingFolder)
{
    TempDir dir;
    const fs::path path = dir.file("gone/TolviNumbers3.ini");
    EXPECT_EQ(saveError(path, true), cannotWriteText(path));
    EXPECT_FALSE(fs::exists(dir.file("gone")));
}

TEST(SettingsFileSaveFailure, AFileWhereTheFolderShouldBe)
{
    TempDir dir;
    dir.write("bin", "not a folder");
    const fs::path path = dir.file("bin/TolviNumbers3.ini");
    EXPECT_EQ(saveError(path, false), cannotWriteText(path));
    EXPECT_EQ(dir.read("bin"), "not a folder");
}

TEST(SettingsFileSaveFailure, AFolderWhereTheFileShouldBe)
{
    TempDir dir;
    fs::create_directory(dir.file("TolviNumbers3.ini"));
    const fs::path path = dir.file("TolviNumbers3.ini");
    EXPECT_EQ(saveError(path, true), cannotWriteText(path));
    EXPECT_TRUE(fs::is_directory(path));
}

TEST(SettingsFileSaveFailure, AReadOnlyFileIsLeftAlone)
{
    // Marked read-only by its permission bits: refused even for a user whose rights would let
    // the file be replaced.
    TempDir dir;
    const std::string before = "[Option]\r\nMismatch=1\r\n";
    const fs::path path = dir.write("TolviNumbers3.ini", before);
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(saveError(path, false), cannotWriteText(path));
    EXPECT_EQ(readFileBytes(path), before);
    EXPECT_TRUE(strayFiles(dir.path(), {"TolviNumbers3.ini"}).empty());
}

TEST(SettingsFileSaveFailure, AReadOnlyFolder)
{
    TempDir dir;
    fs::create_directory(dir.file("bin"));
    fs::permissions(dir.file("bin"), fs::perms::owner_read | fs::perms::owner_exec);
    if (::access(dir.file("bin").c_str(), W_OK) == 0)
        GTEST_SKIP() << "this user may write into a read-only folder (running as root)";
    const fs::path path = dir.file("bin/TolviNumbers3.ini");
    EXPECT_EQ(saveError(path, true), cannotWriteText(path));
    EXPECT_FALSE(fs::exists(path));
}

TEST(SettingsFileSaveFailure, AnImmutableFile)
{
    TempDir dir;
    const std::string before = "[Option]\r\nMismatch=1\r\n";
    const fs::path path = dir.write("TolviNumbers3.ini", before);
    const tolvi::test::ImmutableFile immutable(path);
    if (!immutable.isSet())
        GTEST_SKIP() << "the immutable flag is not available here";
    EXPECT_EQ(saveError(path, false), cannotWriteText(path));
    EXPECT_EQ(readFileBytes(path), before);
}

TEST(SettingsFileSaveFailure, AFolderThatTakesNoNewFiles)
{
    TempDir dir;
    fs::create_directory(dir.file("bin"));
    const tolvi::test::ImmutableFile immutable(dir.file("bin"));
    if (!immutable.isSet())
        GTEST_SKIP() << "the immutable flag is not available here";
    const fs::path path = dir.file("bin/TolviNumbers3.ini");
    EXPECT_EQ(saveError(path, true), cannotWriteText(path));
    EXPECT_FALSE(fs::exists(path));
}

TEST(SettingsFileSave, AWritableFileInAFolderThatTakesNoNewFilesIsRewrittenInPlace)
{
    TempDir dir;
    fs::create_directory(dir.file("bin"));
    const fs::path path = dir.write("bin/TolviNumbers3.ini", "[Window]\r\nLeft=12345\r\n[Option]\r\nMismatch=256\r\n");
    const tolvi::test::ImmutableFile immutable(dir.file("bin"));
    if (!immutable.isSet())
        GTEST_SKIP() << "the immutable flag is not available here";
    SettingsFile::saveMismatch(path, true);
    EXPECT_EQ(readFileBytes(path), "[Window]\r\nLeft=12345\r\n[Option]\r\nMismatch=1\r\n");
    SettingsFile::saveMismatch(path, false);
    EXPECT_EQ(readFileBytes(path), "[Window]\r\nLeft=12345\r\n[Option]\r\nMismatch=0\r\n");
    EXPECT_TRUE(strayFiles(dir.file("bin"), {"TolviNumbers3.ini"}).empty());
}

TEST(SettingsFileSaveFailure, TheMessageNamesTheFullPath)
{
    // A relative path is reported as the full path it stands for.
    TempDir dir;
    const fs::path previous = fs::current_path();
    fs::current_path(dir.path());
    const std::string error = saveError("missing/TolviNumbers3.ini", true);
    fs::current_path(previous);
    EXPECT_EQ(error, (dir.path() / "missing/TolviNumbers3.ini").string() + " に書き込めません。");
}

TEST(SettingsLocation, BesideTheProgramWhereItCanBeWrittenElseInTheUserFolder)
{
    enum Beside { NoFile, WritableFile, ReadOnlyFile };
    struct Case {
        const char* name;
        bool folderWritable;
        Beside file;
        std::string home, xdgConfigHome;  // a leading "/" stands for the test's own folder
        const char* expected;             // relative to the test's folder
    };
    const Case cases[] = {
        {"writable folder", true, NoFile, "/home", "/xdg", "bin/TolviNumbers3.ini"},
        {"read-only file", true, ReadOnlyFile, "/home", "/xdg", "xdg/tolvi-numbers/TolviNumbers3.ini"},
        {"closed folder, writable file", false, WritableFile, "/home", "/xdg", "bin/TolviNumbers3.ini"},
        {"closed folder", false, NoFile, "/home", "/xdg", "xdg/tolvi-numbers/TolviNumbers3.ini"},
        {"empty XDG_CONFIG_HOME", false, ReadOnlyFile, "/home", "", "home/.config/tolvi-numbers/TolviNumbers3.ini"},
        {"relative XDG_CONFIG_HOME", false, NoFile, "/home", "xdg", "home/.config/tolvi-numbers/TolviNumbers3.ini"},
        {"no usable HOME", false, NoFile, "home", "", "bin/TolviNumbers3.ini"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const auto inDir = [&](const std::string& v) { return v.starts_with('/') ? dir.path().string() + v : v; };
        fs::create_directory(dir.file("bin"));
        const fs::path beside = dir.file("bin/TolviNumbers3.ini"), expected = dir.file(c.expected);
        if (c.file != NoFile)
            dir.write("bin/TolviNumbers3.ini", "[Option]\r\nMismatch=1\r\n");
        if (c.file == ReadOnlyFile)
            fs::permissions(beside, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                            fs::perm_options::remove);
        std::optional<ClosedFolder> closed;
        if (!c.folderWritable && !closed.emplace(dir.file("bin")).made())
            GTEST_SKIP() << "no folder can be closed to new files here";

        const SettingsLocation::UserFolders user {inDir(c.home), inDir(c.xdgConfigHome)};
        const SettingsLocation location(dir.file("bin/TolviNumbers3"), user);
        EXPECT_EQ(location.writePath(), expected);
        // Until the user has a file of their own, the one beside the program is their default.
        EXPECT_EQ(location.readPath(), c.file == NoFile ? expected : beside);
        if (!c.folderWritable && c.file == NoFile && expected == beside) {
            EXPECT_EQ(saveError(location, false), cannotWriteText(beside));
            continue;
        }
        location.saveMismatch(false);
        EXPECT_EQ(readFileBytes(expected), "[Option]\r\nMismatch=0\r\n");
        EXPECT_EQ(SettingsLocation(dir.file("bin/TolviNumbers3"), user).readPath(), expected);
        if (expected != beside) {
            EXPECT_EQ(fs::status(expected.parent_path()).permissions() & fs::perms::mask, fs::perms::owner_all);
        }
    }
}

TEST(SettingsLocation, ASaveThatFailsBesideTheProgramGoesToTheUserFolder)
{
    TempDir dir;
    fs::create_directory(dir.file("bin"));
    const SettingsLocation toHome(dir.file("bin/TolviNumbers3"), {dir.file("home").string(), ""});
    const SettingsLocation toNowhere(dir.file("bin/TolviNumbers3"), {dir.write("file", "").string(), ""});
    ASSERT_EQ(toHome.writePath(), toHome.besideProgram());
    // Chosen at the start, refused at the end: a folder has taken the file's place meanwhile.
    fs::create_directory(toHome.besideProgram());
    toHome.saveMismatch(false);
    EXPECT_EQ(readFileBytes(toHome.perUser()), "[Option]\r\nMismatch=0\r\n");
    EXPECT_EQ(saveError(toNowhere, true), cannotWriteText(toNowhere.perUser()));
}
