#pragma once
// Conversion between the program's internal UTF-8 text and Shift-JIS (code page 932), the
// encoding of the results pages and of every byte position counted in titles and pages.

#include <string>
#include <string_view>

namespace tolvi {

// UTF-8 to code page 932. Characters without a code page 932 form become "?".
std::string toShiftJis(std::string_view utf8);

// Code page 932 to UTF-8. Bytes that are not valid code page 932 become U+FFFD.
std::string fromShiftJis(std::string_view sjis);

}  // namespace tolvi
