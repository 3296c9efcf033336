#include "entry/FilterNumText.h"

namespace tolvi {

std::string filterNumText(std::string_view text)
{
    std::string kept;
    bool sawDigit = false;
    for (const char c : text) {
        // Byte by byte: a Shift-JIS trail byte is never "0"-"9" or "." (those are below 0x40).
        if (c >= '0' && c <= '9') {
            kept += c;
            sawDigit = true;
        } else if (c == '.') {
            kept += c;
        }
    }
    return sawDigit ? kept : "0";
}

}  // namespace tolvi
