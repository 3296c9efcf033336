#pragma once
// The one setting, "Mismatch" in section "Option" of the settings file beside the program.
// Plain C++ (no Qt) so that it can be tested and fuzzed headless.

#include <filesystem>

namespace tolvi {

class SettingsFile {
public:
    // The program file's path with its extension replaced by ".ini" (added when it has none).
    static std::filesystem::path pathForProgram(const std::filesystem::path& programPath);

    // "Mismatch" of "Option": a missing file, section or key, or a value that is not an integer
    // gives 1; the box is ticked when the value's lowest eight bits are not all zero. Never fails.
    static bool loadMismatch(const std::filesystem::path& settingsPath);

    // Writes "1" or "0" as the value of "Mismatch", keeping every other byte of the file. Raises
    // IoError with "<path> に書き込めません." when it cannot.
    static void saveMismatch(const std::filesystem::path& settingsPath, bool mismatch);
};

}  // namespace tolvi
