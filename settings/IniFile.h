#pragma once
// A profile (INI) file held as its exact bytes, read and edited the way the Windows profile
// functions treat such files:
//   - a section starts at a line "[name]" and runs to the next section line;
//   - an entry is a line "key=value" inside a section; blanks and tabs around the key and the
//     value are not part of them, and a value in matching single or double quotes loses them;
//   - section and key names match without regard to ASCII case, and the first match wins;
//   - a line whose first non-blank character is ";" is a comment;
//   - lines end in CR LF or LF; a UTF-8 byte order mark before the first line is skipped.
// Editing changes only the bytes of the one value it writes (or adds one line, or one section at
// the end), so everything else a user keeps in the file stays exactly as it was.
// Plain C++ without Qt, so the window, the tests and any tool can share it.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tolvi {

class IniFile {
public:
    IniFile() = default;
    explicit IniFile(std::string bytes);

    // The value of `key` in the first section named `section`, or nothing when that section or
    // that key in it is missing. A key line without "=" has the empty value.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Sets `key` in the first section named `section` to `value`. An existing entry keeps its
    // key's spelling and the blanks around it; only the value's bytes are replaced. A missing key
    // is added as "key=value" after the section's last non-blank line; a missing section is added
    // at the end of the file as "[section]" and "key=value". New lines end like the file's first
    // line, or in CR LF when the file has no line end yet.
    void setValue(std::string_view section, std::string_view key, std::string_view value);

    const std::string& bytes() const { return bytes_; }

    // The line end this file uses for new lines.
    std::string_view lineEnd() const;

private:
    struct Entry;
    Entry find(std::string_view section, std::string_view key) const;

    std::string bytes_;
};

}  // namespace tolvi
