#pragma once
// The entry panel's eleven edit texts, in tab order, as plain data.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tolvi {

// The eleven edits, in tab order, named as their controls are: the Numbers3 number and its five
// prizes (straight, box, set-straight, set-box, mini), then the Numbers4 number and its four.
enum class EntryField : std::uint8_t {
    Num3Edit,
    Num3Edit1,
    Num3Edit2,
    Num3Edit3,
    Num3Edit4,
    Num3Edit5,
    Num4Edit,
    Num4Edit1,
    Num4Edit2,
    Num4Edit3,
    Num4Edit4,
};

inline constexpr std::size_t kEntryFieldCount = 11;
static_assert(std::size_t(EntryField::Num4Edit4) + 1 == kEntryFieldCount, "one field per edit");

// Object names of the edits, in the order of EntryField.
inline constexpr std::array<std::string_view, kEntryFieldCount> kEntryEditNames {
    "Num3Edit", "Num3Edit1", "Num3Edit2", "Num3Edit3", "Num3Edit4", "Num3Edit5",
    "Num4Edit", "Num4Edit1", "Num4Edit2", "Num4Edit3", "Num4Edit4"};

// The tab position of `field`. A value that names no edit (a number cast to EntryField) throws
// std::out_of_range: filling some other edit, or none, would hide the fault.
std::size_t entryFieldIndex(EntryField field);
// The field at tab position `index`; std::out_of_range past the last.
EntryField entryFieldAt(std::size_t index);
// The object name of `field`'s edit; throws as entryFieldIndex().
std::string_view entryEditName(EntryField field);

// `utf8` with the full-width digits ０-９ that a Japanese input method types taken as 0-9; every
// other character stays as it is.
std::string withAsciiDigits(std::string_view utf8);

struct EntryFields {
    std::array<std::string, kEntryFieldCount> texts;  // UTF-8, as typed or filled in

    std::string& operator[](std::size_t i) { return texts[i]; }
    const std::string& operator[](std::size_t i) const { return texts[i]; }
    std::string& operator[](EntryField field) { return texts[entryFieldIndex(field)]; }
    const std::string& operator[](EntryField field) const { return texts[entryFieldIndex(field)]; }
};

}  // namespace tolvi
