// What must hold for any bytes in the settings file: loading never fails, and saving writes the
// Mismatch value so that it reads back, keeping every other byte of the file.

#include "fuzz/FuzzChecks.h"

#include "settings/IniFile.h"
#include "settings/SettingsFile.h"

#include <algorithm>

namespace tolvi::fuzz {

// The edit from `before` to `after` is one run of bytes replaced inside a single line by at
// most the bytes of a new "[Option]" section with its entry.
void requireOnlyTheValueChanged(std::string_view before, std::string_view after)
{
    std::size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    const std::string_view removed = before.substr(prefix, before.size() - prefix - suffix);
    const std::string_view added = after.substr(prefix, after.size() - prefix - suffix);
    require(removed.find('\n') == std::string_view::npos, "saving the setting removed a line end of the file");
    require(added.size() <= std::string_view("\r\n[Option]\r\nMismatch=0\r\n").size(),
            "saving the setting added more than the section and its entry");
    require(std::all_of(
                added.begin(), added.end(),
                [](char c) { return std::string_view("[Option]Mismatch=01\r\n").find(c) != std::string_view::npos; }),
            "saving the setting added bytes that belong to no section, key or value");
}

void checkSettings(std::string_view bytes, const fs::path& dir)
{
    const IniFile original {std::string(bytes)};
    require(original.bytes() == bytes, "the profile file does not keep its bytes");
    (void)original.value("Option", "Mismatch");

    const fs::path path = dir / "Tolvi.ini";
    writeBytes(path, bytes);
    (void)SettingsFile::loadMismatch(path);  // never fails
    require(readBytes(path) == bytes, "loading the setting changed the file");

    if (bytes.size() > SettingsFile::kLargestFile) {
        const Outcome saved = shownFailure([&] { SettingsFile::saveMismatch(path, false); });
        require(saved.failed(), "a settings file beyond the size read was replaced");
        require(readBytes(path) == bytes, "refusing to save changed the file");
        return;
    }
    for (const bool mismatch : {false, true, false}) {
        const std::string value = mismatch ? "1" : "0";
        const std::string before = readBytes(path);
        IniFile edited(before);
        edited.setValue("Option", "Mismatch", value);
        require(edited.value("Option", "Mismatch") == value, "the value written does not read back from the profile");
        requireOnlyTheValueChanged(before, edited.bytes());

        const Outcome saved = shownFailure([&] { SettingsFile::saveMismatch(path, mismatch); });
        require(!saved.failed(), "saving to a writable file failed: " + saved.errorText.value_or(""));
        require(readBytes(path) == edited.bytes(), "the saved file is not the edited profile");
        require(SettingsFile::loadMismatch(path) == mismatch, "the saved setting does not load back");
    }
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir))
        ++entries;
    require(entries == 1, "saving left a temporary file beside the settings file");
}

}  // namespace tolvi::fuzz
