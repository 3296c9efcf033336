#pragma once
// The one setting, "Mismatch" in section "Option" of the settings file beside the program (or in
// the user's own configuration folder where that cannot be written, see SettingsLocation).
// Plain C++ (no Qt) so that it can be tested and fuzzed headless; the file is read and edited by
// IniFile, which keeps every byte the program does not own.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tolvi {

class SettingsFile {
public:
    // The largest settings file read. It holds one setting in a few dozen bytes; a larger file
    // is not this program's: loading gives the default and saving refuses to replace it.
    static constexpr std::size_t kLargestFile = std::size_t(1) << 20;

    // The program file's path with its extension replaced by ".ini" (added when it has none):
    // /x/TolviNumbers3 gives /x/TolviNumbers3.ini, /x/a.exe gives /x/a.ini.
    static std::filesystem::path pathForProgram(const std::filesystem::path& programPath);

    // "Mismatch" of "Option": a missing file, section or key, or a value that is not wholly a
    // decimal 32-bit integer ("", "abc", "12abc", "0x10") gives 1; the box is ticked when the
    // value's lowest eight bits are not all zero (2 ticks, 256 does not, -1 does). Never fails.
    static bool loadMismatch(const std::filesystem::path& settingsPath);

    // Writes "1" or "0" as the value of "Mismatch", keeping every other byte of the file; a new
    // file holds exactly "[Option]" and "Mismatch=1" (or 0), each ending in CR LF. The new
    // content goes to a temporary file beside the old one, which is then renamed over it with
    // the old file's permissions. Raises IoError with "<full path> に書き込めません。" when the
    // file cannot be written: its folder is missing or not a folder, the file is marked
    // read-only (no write permission bit at all), is larger than kLargestFile, or it cannot be
    // read back or replaced.
    static void saveMismatch(const std::filesystem::path& settingsPath, bool mismatch);

    // Any other value the programs keep (the purchase ledger's way of recording a prediction),
    // read and written as "Mismatch" is: nothing when it cannot be read; saving keeps every
    // other byte and fails as saveMismatch does.
    static std::optional<std::string> loadValue(const std::filesystem::path& settingsPath, std::string_view section,
                                                std::string_view key);
    static void saveValue(const std::filesystem::path& settingsPath, std::string_view section, std::string_view key,
                          std::string_view value);

    // Whether saveMismatch can be expected to succeed at `settingsPath`: an existing file passes
    // its checks, or a missing one's folder takes new files. access() also refuses a read-only
    // file system and an immutable folder, which bind even root.
    static bool canSave(const std::filesystem::path& settingsPath);
};

}  // namespace tolvi
