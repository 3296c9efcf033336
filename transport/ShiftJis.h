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

// A text file of unknown encoding as UTF-8: a UTF-8 byte order mark is dropped, valid UTF-8 is
// taken as it is, anything else is read as code page 932. (Japanese text in code page 932 is
// almost never valid UTF-8, while UTF-8 files are often saved without the mark.)
std::string textFileToUtf8(std::string_view bytes);

}  // namespace tolvi
