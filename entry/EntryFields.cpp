#include "entry/EntryFields.h"

#include <stdexcept>

namespace tolvi {

std::string withAsciiDigits(std::string_view utf8)
{
    // U+FF10 .. U+FF19 are EF BC 90 .. EF BC 99 in UTF-8.
    std::string text;
    text.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8.substr(i, 2) == "\xEF\xBC" && i + 2 < utf8.size() && static_cast<unsigned char>(utf8[i + 2]) >= 0x90 &&
            static_cast<unsigned char>(utf8[i + 2]) <= 0x99) {
            text += char('0' + (static_cast<unsigned char>(utf8[i + 2]) - 0x90));
            i += 2;
        } else {
            text += utf8[i];
        }
    }
    return text;
}

std::size_t entryFieldIndex(EntryField field)
{
    const auto index = std::size_t(field);
    if (index >= kEntryFieldCount)
        throw std::out_of_range("unknown entry field: " + std::to_string(index));
    return index;
}

EntryField entryFieldAt(std::size_t index)
{
    if (index >= kEntryFieldCount)
        throw std::out_of_range("no entry field at position " + std::to_string(index));
    return EntryField(index);
}

std::string_view entryEditName(EntryField field)
{
    return kEntryEditNames[entryFieldIndex(field)];
}

}  // namespace tolvi
