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

std::string& EntryFields::byName(std::string_view name)
{
    for (std::size_t i = 0; i < kEntryFieldCount; ++i)
        if (kEntryEditNames[i] == name)
            return texts[i];
    throw std::out_of_range("unknown entry field: " + std::string(name));
}

const std::string& EntryFields::byName(std::string_view name) const
{
    return const_cast<EntryFields*>(this)->byName(name);
}

}  // namespace tolvi
