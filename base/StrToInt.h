#pragma once
// Text to integer as the history file and the entry fields need it: optional leading blanks,
// an optional sign and decimal digits, nothing else. Anything else raises ConversionError.

#include <cstdint>
#include <string_view>

namespace tolvi {

std::int32_t strToInt(std::string_view text);

// True when `text` is one or more bytes, each "0" to "9".
bool isAllDigits(std::string_view text);

}  // namespace tolvi
