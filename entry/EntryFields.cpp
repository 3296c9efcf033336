#include "entry/EntryFields.h"

#include <stdexcept>

namespace tolvi {

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
