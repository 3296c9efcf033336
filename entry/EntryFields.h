#pragma once
// The entry panel's eleven edit texts, in tab order, as plain data.

#include <array>
#include <string>
#include <string_view>

namespace tolvi {

inline constexpr std::size_t kEntryFieldCount = 11;

// Object names of the edits, in tab order: the Numbers3 number and its five prizes, then the
// Numbers4 number and its four prizes.
inline constexpr std::array<std::string_view, kEntryFieldCount> kEntryEditNames {
    "Num3Edit", "Num3Edit1", "Num3Edit2", "Num3Edit3", "Num3Edit4", "Num3Edit5",
    "Num4Edit", "Num4Edit1", "Num4Edit2", "Num4Edit3", "Num4Edit4"};

// `utf8` with the full-width digits ０-９ that a Japanese input method types taken as 0-9; every
// other character stays as it is.
std::string withAsciiDigits(std::string_view utf8);

struct EntryFields {
    std::array<std::string, kEntryFieldCount> texts;  // UTF-8, as typed or filled in

    std::string& operator[](std::size_t i) { return texts[i]; }
    const std::string& operator[](std::size_t i) const { return texts[i]; }
    // The text of the edit called `name`; throws std::out_of_range for an unknown name.
    std::string& byName(std::string_view name);
    const std::string& byName(std::string_view name) const;
};

}  // namespace tolvi
